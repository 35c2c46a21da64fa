// The window's font: every label and button caption fits inside its control,
// measured with the control's own font metrics, whatever font the desktop
// gives. The suite runs this program at the platform's scale and again with
// QT_SCALE_FACTOR 1.5 and 2.

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTest>
#include <algorithm>
#include <memory>
#include <vector>

#include "ui/orvik_window.h"
#include "ui/queued_dialogs.h"

namespace {

struct Caption {
    QString control;
    QString text;
    QSize room;    // inside the control, where its style draws the text
    QSize extent;  // what the text takes
};

QSize labelRoom(const QLabel& label) {
    const int margin = label.margin();
    return label.contentsRect().adjusted(margin, margin, -margin, -margin).size();
}

QSize buttonRoom(const QPushButton& button) {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const QStyle* style = button.style();
    const QRect contents = style->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    return contents.size() - QSize(style->pixelMetric(QStyle::PM_ButtonMargin, &option, &button), 0);
}

// Every caption of the window, measured in `font`, or in each control's own font when none is given.
std::vector<Caption> captions(const QWidget& window, const QFont* font = nullptr) {
    std::vector<Caption> result;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QFontMetrics metrics = font ? QFontMetrics(*font) : label->fontMetrics();
        result.push_back({label->objectName(), label->text(), labelRoom(*label),
                          QSize(metrics.horizontalAdvance(label->text()), metrics.height())});
    }
    for (const QPushButton* button : window.findChildren<QPushButton*>()) {
        const QFontMetrics metrics = font ? QFontMetrics(*font) : button->fontMetrics();
        result.push_back({button->objectName(), button->text(), buttonRoom(*button),
                          metrics.size(Qt::TextShowMnemonic, button->text())});
    }
    return result;
}

bool fits(const Caption& caption) {
    return caption.extent.width() <= caption.room.width() && caption.extent.height() <= caption.room.height();
}

QString describe(const Caption& caption) {
    return QString("%1 \"%2\" takes %3x%4 in %5x%6")
        .arg(caption.control, caption.text)
        .arg(caption.extent.width())
        .arg(caption.extent.height())
        .arg(caption.room.width())
        .arg(caption.room.height());
}

} // namespace

class TestWindowFont : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { platformFont_ = QApplication::font(); }
    void cleanup();

    void everyCaptionFits_data() { desktopFonts(); }
    void everyCaptionFits();
    void keepsTheDesktopsFontAsLargeAsFits_data() { desktopFonts(); }
    void keepsTheDesktopsFontAsLargeAsFits();
    void noControlSetsItsOwnFont();
    void scaleFactorIsInEffect();

private:
    void desktopFonts();
    orvik::ui::OrvikWindow& windowWithDesktopFont(const QFont& font);

    QFont platformFont_;
    orvik::ui::QueuedDialogs dialogs_;
    std::unique_ptr<orvik::ui::OrvikWindow> window_;
};

void TestWindowFont::desktopFonts() {
    // The fonts a desktop may give an application, wider and taller ones among them.
    QTest::addColumn<QFont>("desktopFont");
    QTest::newRow("the platform's") << platformFont_;
    QTest::newRow("sans 6 pt") << QFont("Sans Serif", 6);
    QTest::newRow("sans 11 pt") << QFont("Sans Serif", 11);
    QTest::newRow("sans 14 pt bold") << QFont("Sans Serif", 14, QFont::Bold);
    QTest::newRow("serif 12 pt") << QFont("Serif", 12);
    QTest::newRow("monospace 10 pt") << QFont("Monospace", 10);
}

orvik::ui::OrvikWindow& TestWindowFont::windowWithDesktopFont(const QFont& font) {
    QApplication::setFont(font);
    window_ = std::make_unique<orvik::ui::OrvikWindow>(dialogs_);
    window_->show();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(window_.get())); }();
    return *window_;
}

void TestWindowFont::cleanup() {
    window_.reset();
    QApplication::setFont(platformFont_);
}

void TestWindowFont::everyCaptionFits() {
    QFETCH(QFont, desktopFont);
    const std::vector<Caption> measured = captions(windowWithDesktopFont(desktopFont));
    QCOMPARE(measured.size(), size_t(21));
    for (const Caption& caption : measured)
        QVERIFY2(fits(caption), qPrintable(describe(caption)));
}

void TestWindowFont::keepsTheDesktopsFontAsLargeAsFits() {
    // The family stays the desktop's, and the size is not made smaller than the captions need.
    QFETCH(QFont, desktopFont);
    const orvik::ui::OrvikWindow& window = windowWithDesktopFont(desktopFont);
    const QFontInfo chosen(window.font());
    const QFontInfo desktop(desktopFont);
    QCOMPARE(chosen.family(), desktop.family());
    QCOMPARE(chosen.bold(), desktop.bold());
    QVERIFY(chosen.pixelSize() <= desktop.pixelSize());
    if (chosen.pixelSize() == desktop.pixelSize())
        return;
    QFont larger = window.font();
    larger.setPixelSize(chosen.pixelSize() + 1);
    const std::vector<Caption> atLarger = captions(window, &larger);
    QVERIFY2(std::any_of(atLarger.begin(), atLarger.end(), [](const Caption& c) { return !fits(c); }),
             qPrintable(QString("every caption would fit at %1 px").arg(larger.pixelSize())));
}

void TestWindowFont::noControlSetsItsOwnFont() {
    const orvik::ui::OrvikWindow& window = windowWithDesktopFont(QFont("Sans Serif", 11));
    const QList<QWidget*> controls = window.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(controls.size(), 40);
    for (const QWidget* control : controls) {
        QVERIFY2(!control->testAttribute(Qt::WA_SetFont), qPrintable(control->objectName()));
        QCOMPARE(control->font(), window.font());
    }
}

void TestWindowFont::scaleFactorIsInEffect() {
    // The scaled runs of this program measure at the scale they were started with.
    const QByteArray scale = qgetenv("QT_SCALE_FACTOR");
    if (scale.isEmpty())
        QSKIP("run at the platform's scale");
    QCOMPARE(windowWithDesktopFont(platformFont_).devicePixelRatioF(), scale.toDouble());
}

QTEST_MAIN(TestWindowFont)
#include "test_window_font.moc"
