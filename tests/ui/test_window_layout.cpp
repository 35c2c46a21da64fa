// The main window as laid out: every control's place and size, captions,
// tab order, the kinds of the controls, growing the window, accessible names.

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <memory>

#include "test_support.h"
#include "ui/orvik_window.h"

using orvik::uitest::QueuedDialogs;

namespace {

constexpr int kTwips = 15;

// Every control of the window with its name, as the window's objectNames.
const QStringList kControlNames = {
    "lblMAR", "lblMDR", "lblMBR", "lblTOS", "lblOPC", "lblH", "lblPC", "lblSP", "lblLV", "lblCPP",
    "txtReg(0)", "txtReg(1)", "txtReg(2)", "txtReg(3)", "txtReg(4)", "txtReg(5)", "txtReg(6)", "txtReg(7)",
    "txtReg(8)", "txtReg(9)", "lblALU", "txtALU", "lblMPC", "txtMPC", "lblN", "txtN", "lblZ", "txtZ",
    "lblMIR", "txtMIR", "lblInst", "txtInst", "lblStdOut", "txtStdOut", "lblMainMem", "txtMainMem",
    "lblContStore", "txtContStore", "cmdNav(0)", "cmdNav(1)",
};

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void clientAreaAndTitle();
    void geometry_data();
    void geometry();
    void captions_data();
    void captions();
    void tabOrderFollowsTabIndex();
    void controlKinds();
    void buttonsAreNotDefaultAndHaveAltKeys();
    void noControlOverlapsAnother();

    void growingGivesAllRoomToThePanes_data();
    void growingGivesAllRoomToThePanes();
    void cannotBeMadeSmallerThanItsFirstSize();
    void maximiseAndRestore();
    void accessibleNames_data();
    void accessibleNames();

private:
    QWidget* control(const QString& name) const { return window_->findChild<QWidget*>(name); }
    std::map<QString, QRect> geometries() const;

    QueuedDialogs dialogs_;
    std::unique_ptr<orvik::ui::OrvikWindow> window_;
};

void TestWindowLayout::init() {
    window_ = std::make_unique<orvik::ui::OrvikWindow>(dialogs_);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
}

void TestWindowLayout::cleanup() { window_.reset(); }

std::map<QString, QRect> TestWindowLayout::geometries() const {
    std::map<QString, QRect> result;
    for (const QString& name : kControlNames)
        result[name] = control(name)->geometry();
    return result;
}

void TestWindowLayout::clientAreaAndTitle() {
    QCOMPARE(window_->windowTitle(), QString("Orvik Simulator"));
    QCOMPARE(window_->size(), QSize(9735 / kTwips, 6795 / kTwips));
    for (const QString& name : kControlNames) {
        QWidget* widget = control(name);
        QVERIFY2(widget != nullptr, qPrintable(name));
        QVERIFY2(widget->isVisible(), qPrintable(name));
    }
}

void TestWindowLayout::geometry_data() {
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("top");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    const char* const labels[] = {"lblMAR", "lblMDR", "lblMBR", "lblTOS", "lblOPC",
                                  "lblH",   "lblPC",  "lblSP",  "lblLV",  "lblCPP"};
    for (int k = 0; k < 10; ++k) {
        QTest::newRow(labels[k]) << 120 << 240 + 360 * k << 855 << 255;
        QTest::newRow(qPrintable(QString("txtReg(%1)").arg(k))) << 1080 << 240 + 360 * k << 1095 << 285;
    }
    QTest::newRow("lblALU") << 2400 << 240 << 855 << 255;
    QTest::newRow("txtALU") << 3360 << 240 << 3375 << 285;
    QTest::newRow("lblMPC") << 2400 << 600 << 855 << 255;
    QTest::newRow("txtMPC") << 3360 << 600 << 3375 << 285;
    QTest::newRow("lblN") << 2400 << 960 << 855 << 255;
    QTest::newRow("txtN") << 3360 << 960 << 1095 << 285;
    QTest::newRow("lblZ") << 2400 << 1320 << 855 << 255;
    QTest::newRow("txtZ") << 3360 << 1320 << 1095 << 285;
    QTest::newRow("lblMIR") << 2400 << 1680 << 855 << 255;
    QTest::newRow("txtMIR") << 3360 << 1680 << 4695 << 285;
    QTest::newRow("lblInst") << 2400 << 2040 << 855 << 255;
    QTest::newRow("txtInst") << 3360 << 2040 << 4695 << 285;
    QTest::newRow("lblStdOut") << 2400 << 2400 << 6975 << 255;
    QTest::newRow("txtStdOut") << 2400 << 2760 << 7215 << 1575;
    QTest::newRow("lblMainMem") << 120 << 4440 << 4455 << 255;
    QTest::newRow("txtMainMem") << 120 << 4800 << 4455 << 1935;
    QTest::newRow("lblContStore") << 4680 << 4440 << 4695 << 255;
    QTest::newRow("txtContStore") << 4680 << 4800 << 4935 << 1695;
    QTest::newRow("cmdNav(0)") << 7320 << 240 << 1095 << 375;
    QTest::newRow("cmdNav(1)") << 8520 << 240 << 1095 << 375;
}

void TestWindowLayout::geometry() {
    QFETCH(int, left);
    QFETCH(int, top);
    QFETCH(int, width);
    QFETCH(int, height);
    QWidget* widget = control(QTest::currentDataTag());
    QVERIFY(widget != nullptr);
    QCOMPARE(widget->geometry(), QRect(left / kTwips, top / kTwips, width / kTwips, height / kTwips));
}

void TestWindowLayout::captions_data() {
    QTest::addColumn<QString>("caption");
    const std::pair<const char*, const char*> captions[] = {
        {"lblMAR", "MAR:"},          {"lblMDR", "MDR:"},
        {"lblMBR", "MBR:"},          {"lblTOS", "TOS:"},
        {"lblOPC", "OPC:"},          {"lblH", "H:"},
        {"lblPC", "PC:"},            {"lblSP", "SP:"},
        {"lblLV", "LV:"},            {"lblCPP", "CPP:"},
        {"lblALU", "ALU:"},          {"lblMPC", "MPC:"},
        {"lblN", "N:"},              {"lblZ", "Z:"},
        {"lblMIR", "MIR:"},          {"lblInst", "Instruction:"},
        {"lblStdOut", "Standard Output:"}, {"lblMainMem", "Main Memory:"},
        {"lblContStore", "Control Store:"}, {"cmdNav(0)", "&Trace"},
        {"cmdNav(1)", "&Exit"},
    };
    for (const auto& [name, caption] : captions)
        QTest::newRow(name) << QString(caption);
}

void TestWindowLayout::captions() {
    QFETCH(QString, caption);
    QWidget* widget = control(QTest::currentDataTag());
    if (auto* label = qobject_cast<QLabel*>(widget))
        QCOMPARE(label->text(), caption);
    else if (auto* button = qobject_cast<QPushButton*>(widget))
        QCOMPARE(button->text(), caption);
    else
        QFAIL("neither a label nor a button");
}

void TestWindowLayout::tabOrderFollowsTabIndex() {
    // Walk the chain the Tab key walks, from the first box round to it again.
    const QStringList expected = {
        "txtReg(0)", "txtReg(1)", "txtReg(2)", "txtReg(3)",  "txtReg(4)", "txtReg(5)", "txtALU",
        "txtMPC",    "txtReg(6)", "txtReg(7)", "txtReg(8)",  "txtReg(9)", "txtN",      "txtZ",
        "txtStdOut", "cmdNav(0)", "cmdNav(1)", "txtMainMem", "txtContStore", "txtMIR", "txtInst",
    };
    QStringList order;
    QWidget* first = control(expected.front());
    QWidget* widget = first;
    do {
        if ((widget->focusPolicy() & Qt::TabFocus) && kControlNames.contains(widget->objectName()))
            order << widget->objectName();
        widget = widget->nextInFocusChain();
    } while (widget != first && order.size() <= expected.size());
    QCOMPARE(order, expected);
}

void TestWindowLayout::controlKinds() {
    for (const QString& name : kControlNames) {
        QWidget* widget = control(name);
        if (name.startsWith("lbl")) {
            QVERIFY2(qobject_cast<QLabel*>(widget), qPrintable(name));
            QCOMPARE(widget->focusPolicy(), Qt::NoFocus);
            QVERIFY(static_cast<QLabel*>(widget)->alignment() & Qt::AlignLeft);
        } else if (name == "txtMainMem" || name == "txtContStore") {
            auto* pane = qobject_cast<QPlainTextEdit*>(widget);
            QVERIFY2(pane, qPrintable(name));
            QVERIFY(!pane->isReadOnly());
            QCOMPARE(pane->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            QCOMPARE(pane->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            QVERIFY(pane->verticalScrollBar()->isVisible());
        } else if (name.startsWith("txt")) {
            auto* box = qobject_cast<QLineEdit*>(widget);
            QVERIFY2(box, qPrintable(name));
            QVERIFY(box->isReadOnly());
            QVERIFY(box->text().isEmpty());
        }
    }
}

void TestWindowLayout::buttonsAreNotDefaultAndHaveAltKeys() {
    const std::pair<const char*, QKeySequence> buttons[] = {{"cmdNav(0)", QKeySequence("Alt+T")},
                                                            {"cmdNav(1)", QKeySequence("Alt+E")}};
    for (const auto& [name, key] : buttons) {
        auto* button = qobject_cast<QPushButton*>(control(name));
        QVERIFY(button != nullptr);
        QVERIFY(!button->isDefault());
        QVERIFY(!button->autoDefault());
        QCOMPARE(button->shortcut(), key);
    }
}

void TestWindowLayout::noControlOverlapsAnother() {
    for (const QSize& size : {window_->size(), window_->size() + QSize(301, 157)}) {
        window_->resize(size);
        const auto rects = geometries();
        for (auto a = rects.begin(); a != rects.end(); ++a) {
            QVERIFY2(window_->rect().contains(a->second), qPrintable(a->first));
            for (auto b = std::next(a); b != rects.end(); ++b)
                QVERIFY2(!a->second.intersects(b->second), qPrintable(a->first + " overlaps " + b->first));
        }
    }
}

void TestWindowLayout::growingGivesAllRoomToThePanes_data() {
    QTest::addColumn<QSize>("extra");
    QTest::newRow("wider") << QSize(200, 0);
    QTest::newRow("taller") << QSize(0, 120);
    QTest::newRow("both, odd width") << QSize(333, 77);
}

void TestWindowLayout::growingGivesAllRoomToThePanes() {
    QFETCH(QSize, extra);
    const auto before = geometries();
    window_->resize(window_->size() + extra);
    QCOMPARE(window_->size(), QSize(649, 453) + extra);
    const auto after = geometries();

    const QRect mainMem = after.at("txtMainMem");
    const QRect contStore = after.at("txtContStore");
    const int mainMemShare = mainMem.width() - before.at("txtMainMem").width();
    const int contStoreShare = contStore.width() - before.at("txtContStore").width();
    QCOMPARE(mainMemShare + contStoreShare, extra.width());
    QVERIFY(qAbs(mainMemShare - contStoreShare) <= 1);
    QCOMPARE(mainMem.height(), before.at("txtMainMem").height() + extra.height());
    QCOMPARE(contStore.height(), before.at("txtContStore").height() + extra.height());
    QCOMPARE(mainMem.topLeft(), before.at("txtMainMem").topLeft());
    QCOMPARE(contStore.topLeft(), before.at("txtContStore").topLeft() + QPoint(mainMemShare, 0));
    QCOMPARE(after.at("lblContStore"), before.at("lblContStore").translated(mainMemShare, 0));
    for (const QString& name : kControlNames)
        if (name != "txtMainMem" && name != "txtContStore" && name != "lblContStore")
            QCOMPARE(after.at(name), before.at(name));
}

void TestWindowLayout::cannotBeMadeSmallerThanItsFirstSize() {
    const QSize first = window_->size();
    QCOMPARE(window_->minimumSize(), first);
    window_->resize(first - QSize(100, 100));
    QCOMPARE(window_->size(), first);
}

void TestWindowLayout::maximiseAndRestore() {
    const QSize first = window_->size();
    const QRect mainMem = control("txtMainMem")->geometry();
    window_->showMaximized();
    QTRY_VERIFY(window_->isMaximized());
    QTRY_VERIFY(window_->width() > first.width() || window_->height() > first.height());
    QTRY_COMPARE(control("txtMainMem")->height(), mainMem.height() + window_->height() - first.height());
    window_->showNormal();
    QTRY_COMPARE(window_->size(), first);
    QCOMPARE(control("txtMainMem")->geometry(), mainMem);
}

void TestWindowLayout::accessibleNames_data() {
    // What a screen reader announces for each control: its name, its role,
    // whether it can be edited, and the label it is labelled by.
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("role");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QString>("label");
    const int text = QAccessible::EditableText;
    const int button = QAccessible::PushButton;
    const char* const registers[] = {"MAR", "MDR", "MBR", "TOS", "OPC", "H", "PC", "SP", "LV", "CPP"};
    for (int k = 0; k < 10; ++k)
        QTest::newRow(qPrintable(QString("txtReg(%1)").arg(k)))
            << QString(registers[k]) + " register" << text << true << QString("lbl") + registers[k];
    QTest::newRow("txtALU") << "ALU field" << text << true << "lblALU";
    QTest::newRow("txtMPC") << "MPC register" << text << true << "lblMPC";
    QTest::newRow("txtN") << "N flag" << text << true << "lblN";
    QTest::newRow("txtZ") << "Z flag" << text << true << "lblZ";
    QTest::newRow("txtMIR") << "MIR register" << text << true << "lblMIR";
    QTest::newRow("txtInst") << "Instruction" << text << true << "lblInst";
    QTest::newRow("txtStdOut") << "Standard Output" << text << true << "lblStdOut";
    QTest::newRow("txtMainMem") << "Main Memory listing" << text << false << "lblMainMem";
    QTest::newRow("txtContStore") << "Control Store listing" << text << false << "lblContStore";
    QTest::newRow("cmdNav(0)") << "Trace" << button << false << "";
    QTest::newRow("cmdNav(1)") << "Exit" << button << false << "";
    QTest::newRow("frmOrvik") << "Orvik Simulator" << int(QAccessible::Window) << false << "";
}

void TestWindowLayout::accessibleNames() {
    QFETCH(QString, name);
    QFETCH(int, role);
    QFETCH(bool, readOnly);
    QFETCH(QString, label);
    const QString tag = QTest::currentDataTag();
    QWidget* widget = tag == window_->objectName() ? window_.get() : control(tag);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible != nullptr);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    QCOMPARE(int(accessible->role()), role);
    QCOMPARE(bool(accessible->state().readOnly), readOnly);
    QVERIFY(!accessible->state().invisible);
    QStringList labelledBy;
    for (const auto& [other, relation] : accessible->relations(QAccessible::Label))
        labelledBy << other->object()->objectName();
    QCOMPARE(labelledBy, label.isEmpty() ? QStringList() : QStringList{label});
}

QTEST_MAIN(TestWindowLayout)
#include "test_window_layout.moc"
