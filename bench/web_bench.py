"""The browser edition in headless Chromium: the page opened to its first
input box, a Trace that writes memory (median over the fibonacci example's
writes), the bytes the page transfers, and the study views' "Run to the end"
over an endless loop (endless-loop.ctl, orvik-asm's control store of
"goto start / start: PC=PC+1;Fetch / loop: H=H+1 / goto loop") until its step
limit. Runs under Debian's python3.

usage: web_bench.py SITE"""

import pathlib
import statistics
import sys
import time

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parents[1] / "tests" / "web"))
from page_browser import browser, open_page, served  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402
from selenium.webdriver.support.ui import WebDriverWait  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent
ENDLESS_LIMIT = 100000

FIRST_INPUT_BOX = """
const done = arguments[0];
const asked = () => !document.getElementById('orvik-dialog').hidden;
const wait = () => asked() ? done(performance.now()) : requestAnimationFrame(wait);
wait();
"""

# The names typed into the page's start-up dialogs, then each Trace timed
# from the click to its return; a Trace that changed the main-memory pane
# wrote memory.
TRACES_WITH_WRITES = """
const [control, memory, done] = arguments;
const answer = (text) => {
  document.getElementById('orvik-dialog-input').value = text;
  document.getElementById('orvik-dialog-ok').click();
};
window.orvikReady.then(() => {
  answer(control);
  answer(memory);
  const trace = document.querySelector('[data-control="cmdNav(0)"]');
  const pane = document.querySelector('[data-control="txtMainMem"]');
  const times = [];
  for (let i = 0; i < 400 && times.length < 60; ++i) {
    const before = pane.textContent;
    const start = performance.now();
    trace.click();
    const took = performance.now() - start;
    if (pane.textContent !== before) times.push(took);
  }
  done(times);
});
"""

TRANSFERRED = """
const entries = [...performance.getEntriesByType('navigation'), ...performance.getEntriesByType('resource')];
return entries.reduce((sum, e) => sum + (e.transferSize || e.encodedBodySize || 0), 0);
"""


def run_to_the_limit(driver, url):
    """Seconds the study views' "Run to the end" takes over an endless loop."""
    open_page(driver, url)
    driver.find_element(By.ID, "file-picker").send_keys(str(HERE / "endless-loop.ctl"))
    for name in ("endless-loop.ctl", "fibonacci.mem"):
        driver.find_element(By.ID, "orvik-dialog-input").send_keys(name + Keys.ENTER)
    limit = driver.find_element(By.ID, "study-limit")
    limit.clear()
    limit.send_keys(str(ENDLESS_LIMIT))
    start = time.perf_counter()
    driver.find_element(By.ID, "study-to-end").click()
    # A long run goes in slices; the status says "Stopped ..." once it is over.
    status = WebDriverWait(driver, 600, poll_frequency=0.01).until(
        lambda d: (lambda text: text if text.startswith("Stopped") else None)(
            d.find_element(By.ID, "study-status").text))
    took = time.perf_counter() - start
    if status != "Stopped at the step limit.":
        raise SystemExit("the endless loop stopped otherwise: " + status)
    return took


def main(site):
    opened = []
    with served(site) as url, browser() as driver:
        for load in range(5):
            driver.get("about:blank")
            driver.get(url)
            opened.append(driver.execute_async_script(FIRST_INPUT_BOX))
            if load == 0:  # later loads come from the browser's cache
                transferred = driver.execute_script(TRANSFERRED)
        # The window's own Trace (an exam page has nothing else), then the
        # same Trace with the study views beside the window kept up to date.
        writes = {}
        for label, query in (("window alone", "?study=off"), ("with study views", "")):
            driver.get("about:blank")
            driver.get(url + query)
            writes[label] = driver.execute_async_script(TRACES_WITH_WRITES, "fibonacci.ctl", "fibonacci.mem")
        endless = [run_to_the_limit(driver, url) for _ in range(3)]
    print("Browser edition (headless Chromium, page served from 127.0.0.1)")
    print("  page opened to the first input box   %8.0f ms   (median of %d)" % (statistics.median(opened), len(opened)))
    for label, times in writes.items():
        if times:
            print("  Trace that writes memory, %-16s %8.3f ms   (median of %d)" % (label, statistics.median(times), len(times)))
        else:
            print("  Trace that writes memory, %-16s no Trace wrote memory" % label)
    print("  bytes transferred                    %8.0f kB" % (transferred / 1000))
    print("  Run to the end, %d Traces of a loop  %8.2f s    (median of %d)"
          % (ENDLESS_LIMIT, statistics.median(endless), len(endless)))


if __name__ == "__main__":
    main(sys.argv[1])
