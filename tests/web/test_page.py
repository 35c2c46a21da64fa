"""The page itself in headless Chromium, as a student uses it: typing the
names at start-up, a file added with the picker, Trace by its access key, an
edit of a pane before a Trace, the keyboard's way through the window, the
assembler's error as orvik-asm prints it, and the study aids beside the window
(stepping back, the picture) with the teacher's switch that leaves them out.

usage: test_page.py SITE ORVIK_ASM ORVIK_RUN"""

import pathlib
import subprocess
import sys
import tempfile
import unittest

from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys
from selenium.webdriver.support.ui import WebDriverWait

from page_browser import browser, open_page, served

SITE = ORVIK_ASM = ORVIK_RUN = None
EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"


def box(driver, name):
    return driver.find_element(By.CSS_SELECTOR, '[data-control="%s"]' % name)


class PageTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.server = served(SITE)
        cls.url = cls.server.__enter__()
        cls.chromium = browser()
        cls.driver = cls.chromium.__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.chromium.__exit__(None, None, None)
        cls.server.__exit__(None, None, None)

    def setUp(self):
        open_page(self.driver, self.url)

    def dialog(self):
        d = self.driver
        return (d.find_element(By.ID, "orvik-dialog-title").text, d.find_element(By.ID, "orvik-dialog-text").text)

    def type_answer(self, text):
        field = self.driver.find_element(By.ID, "orvik-dialog-input")
        field.send_keys(text + Keys.ENTER)

    def start(self, control="countdown.ctl", memory="countdown.mem"):
        self.type_answer(control)
        self.type_answer(memory)
        self.assertTrue(box(self.driver, "cmdNav(0)").is_displayed())

    def test_start_up_asks_as_the_desktop_and_insists_on_a_name(self):
        self.assertEqual(self.dialog(), ("Orvik Simulator", "Please enter the file name of the control file:"))
        # As on the desktop, the window shows once start-up has loaded both files.
        self.assertFalse(box(self.driver, "cmdNav(0)").is_displayed())
        self.type_answer("")
        self.assertEqual(self.dialog()[1], "Please enter the file name.")
        self.driver.find_element(By.ID, "orvik-dialog-ok").send_keys(Keys.ENTER)
        self.assertEqual(self.dialog()[1], "Please enter the file name of the control file:")
        self.start()
        self.assertEqual(box(self.driver, "txtInst").get_attribute("value"), "goto 1")

    def test_a_file_added_with_the_picker_opens_by_its_typed_name(self):
        source = EXAMPLES / "countdown.ctl"
        with tempfile.TemporaryDirectory() as folder:
            added = pathlib.Path(folder) / "my control.ctl"
            added.write_bytes(source.read_bytes())
            self.driver.find_element(By.ID, "file-picker").send_keys(str(added))
            listed = self.driver.find_element(By.ID, "file-list").text.split("\n")
            self.assertIn("my control.ctl", listed)
        self.start("my control.ctl")

    def test_alt_t_traces_and_an_edited_memory_line_is_read_by_the_next_trace(self):
        self.start()
        ActionChains(self.driver).key_down(Keys.ALT).send_keys("t").key_up(Keys.ALT).perform()
        self.assertEqual(box(self.driver, "txtMPC").get_attribute("value"), "1")
        # Line 0 of main memory holds the count the second Trace fetches: 5 becomes 7.
        open_page(self.driver, self.url)
        self.start()
        pane = box(self.driver, "txtMainMem")
        pane.click()
        pane.send_keys(Keys.CONTROL + Keys.HOME)
        pane.send_keys(Keys.END, Keys.BACKSPACE, "7")
        box(self.driver, "cmdNav(0)").click()
        self.assertEqual(box(self.driver, "txtReg(2)").get_attribute("value"), "7")

    def test_exit_ends_the_program_and_it_starts_again(self):
        self.start()
        ActionChains(self.driver).key_down(Keys.ALT).send_keys("e").key_up(Keys.ALT).perform()
        self.assertTrue(self.driver.find_element(By.ID, "orvik-ended").is_displayed())
        self.driver.find_element(By.ID, "orvik-start-again").click()
        self.assertEqual(self.dialog()[1], "Please enter the file name of the control file:")

    def test_the_keyboard_reaches_every_control_in_the_windows_tab_order(self):
        self.start()
        controls = self.driver.execute_script("return window.orvikControls();")
        expected = [c["name"] for c in sorted(controls, key=lambda c: c["tabIndex"]) if c["kind"] != "label"]
        named = {c["labelFor"]: c["accessibleName"] for c in controls if c["labelFor"]}
        visited = []
        focused = self.driver.switch_to.active_element
        for _ in expected:
            visited.append(focused.get_attribute("data-control"))
            if focused.get_attribute("data-control") in named:
                self.assertEqual(focused.get_attribute("aria-label"), named[visited[-1]])
            if focused.get_attribute("role") == "textbox":
                focused.send_keys(Keys.ESCAPE)
            focused.send_keys(Keys.TAB)
            focused = self.driver.switch_to.active_element
        self.assertEqual(visited, expected)
        self.assertEqual(box(self.driver, "txtReg(0)").get_attribute("aria-label"), "MAR register")

    def test_assembler_errors_read_as_orvik_asm_prints_them(self):
        source = "start: H=H+;goto 0\nMDR=TOS;Write;goto nowhere\n"
        self.driver.find_element(By.ID, "asm-name").clear()
        self.driver.find_element(By.ID, "asm-name").send_keys("wrong.oasm")
        self.driver.execute_script("document.getElementById('asm-source').value = arguments[0];", source)
        self.driver.find_element(By.ID, "asm-program").click()
        shown = self.driver.execute_script("return document.getElementById('asm-output').textContent;")
        with tempfile.TemporaryDirectory() as folder:
            (pathlib.Path(folder) / "wrong.oasm").write_text(source)
            native = subprocess.run([ORVIK_ASM, "wrong.oasm"], cwd=folder, capture_output=True, text=True)
        self.assertNotEqual(native.returncode, 0)
        self.assertIn("^", native.stderr)
        self.assertEqual(shown, native.stdout + native.stderr)

    def shown(self):
        """Every box and pane as the page shows it, the Trace in words and the picture."""
        return self.driver.execute_script(
            """
            const shown = {};
            for (const e of document.querySelectorAll('#orvik-client input, #orvik-client .pane'))
              shown[e.dataset.control] = e.tagName === 'INPUT' ? e.value : e.textContent;
            shown.words = document.getElementById('study-words').textContent;
            shown.picture = document.getElementById('study-picture').innerHTML;
            return shown;
            """)

    def study(self, button, **fields):
        for name, value in fields.items():
            field = self.driver.find_element(By.ID, "study-" + name)
            field.clear()
            field.send_keys(value)
        self.driver.find_element(By.ID, "study-" + button).click()
        return self.driver.find_element(By.ID, "study-status").text

    def test_step_back_restores_what_a_fresh_run_shows_and_the_picture_follows_each_trace(self):
        self.start()
        fresh = [self.shown()]
        self.assertEqual(fresh[0]["picture"], "")
        for _ in range(3):
            box(self.driver, "cmdNav(0)").click()
            fresh.append(self.shown())
        svg = self.driver.find_element(By.CSS_SELECTOR, "#study-picture svg")
        self.assertTrue(svg.find_elements(By.CSS_SELECTOR, ".used"))
        self.assertNotEqual(fresh[2]["picture"], fresh[3]["picture"])
        self.assertIn("Trace 3", fresh[3]["words"])

        open_page(self.driver, self.url)
        self.start()
        self.assertEqual(self.study("run", count="5"), "Ran 5 Traces.")
        self.assertEqual(self.study("back"), "")
        self.study("back")
        self.assertEqual(self.shown(), fresh[3])
        for _ in range(3):
            self.study("back")
        self.assertEqual(self.shown(), fresh[0])
        self.assertEqual(self.study("back"), "Already at start-up.")
        # A Trace after stepping back is the Trace the window runs.
        box(self.driver, "cmdNav(0)").click()
        self.assertEqual(self.shown(), fresh[1])
        self.assertEqual(self.study("to-position", position="3", limit="100"), "Stopped at the position.")
        self.assertIn("Next position: 3", self.shown()["words"])
        for button, field in (("to-position", {"position": "200"}), ("run", {"count": "0"})):
            self.assertIn("0 to 1FF", self.study(button, **field))
        self.assertEqual(self.study("to-end", limit="100000"), "Stopped at the end of the run.")

    def test_a_run_that_writes_memory_shows_what_clicking_each_trace_shows(self):
        # The page is sent a run's changes once, at its end: the written line must arrive.
        self.start("bytes.ctl", "bytes.mem")
        for _ in range(17):
            box(self.driver, "cmdNav(0)").click()
        clicked = self.shown()
        self.assertIn("C0FFEE", clicked["txtMainMem"])
        open_page(self.driver, self.url)
        self.start("bytes.ctl", "bytes.mem")
        self.assertEqual(self.study("to-end", limit="100"), "Stopped at the end of the run.")
        self.assertEqual(self.shown(), clicked)

    def test_a_long_run_goes_on_in_slices_until_stop_is_pressed(self):
        folder = pathlib.Path(__file__).resolve().parents[2] / "bench"
        self.driver.find_element(By.ID, "file-picker").send_keys(str(folder / "endless-loop.ctl"))
        self.start("endless-loop.ctl", "countdown.mem")
        self.study("to-end", limit="1000000000")
        status = lambda: self.driver.find_element(By.ID, "study-status").text
        WebDriverWait(self.driver, 60).until(lambda d: status().startswith("Running"))
        box(self.driver, "cmdNav(0)").click()  # the window waits while a run goes on
        self.driver.find_element(By.ID, "study-stop").click()
        WebDriverWait(self.driver, 60).until(lambda d: status().startswith("Stopped after"))
        ran = int(status().split()[2])
        self.assertGreater(ran, 10000)
        self.assertIn("Trace %d" % ran, self.shown()["words"])
        self.assertFalse(self.driver.find_element(By.ID, "study-stop").is_displayed())

    def test_the_teachers_switch_leaves_only_the_window(self):
        open_page(self.driver, self.url + "?study=off")
        self.start()
        self.assertFalse(self.driver.find_element(By.ID, "orvik-study").is_displayed())
        self.assertFalse(self.driver.find_elements(By.ID, "run-go"))
        box(self.driver, "cmdNav(0)").click()
        self.assertEqual(box(self.driver, "txtMPC").get_attribute("value"), "1")
        self.assertEqual(self.driver.find_element(By.ID, "study-picture").get_attribute("innerHTML"), "")

    def test_a_run_to_the_end_prints_orvik_runs_trace_log(self):
        self.driver.find_element(By.ID, "run-go").click()
        shown = self.driver.execute_script("return document.getElementById('run-output').textContent;")
        native = subprocess.run([ORVIK_RUN, "--trace", "countdown.ctl", "countdown.mem"], cwd=EXAMPLES,
                                capture_output=True, text=True)
        self.assertIn("run=ended", native.stdout)
        self.assertEqual(shown, native.stdout + native.stderr)


if __name__ == "__main__":
    SITE = sys.argv[1]
    ORVIK_ASM, ORVIK_RUN = (str(pathlib.Path(program).resolve()) for program in sys.argv[2:4])
    unittest.main(argv=sys.argv[:1], verbosity=2)
