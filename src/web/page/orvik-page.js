// The browser page of the simulator. The machine, its window's layout and
// every text it shows come from the module (orvik.js, orvik.wasm, built from
// the same sources as the desktop program); this file only puts them on the
// page, passes the user's clicks, keys, typing and files to the module, and
// shows the dialogs the module asks for.
'use strict';

(function () {
  const $ = (id) => document.getElementById(id);
  const FOLDER = '/folder';

  let Module = null;
  let simulator = null;
  let frame = null;
  const boxes = [];      // box index -> {element, show(text), text()}
  const buttons = [];    // command button index -> its element
  const accessKeys = {}; // lower-case letter -> command button index
  let windowShown = false;
  let programHasEnded = false;
  // A teacher's exam page (index.html?study=off) keeps only the window:
  // no study controls, no Trace in words or picture, no run with a trace log.
  const studyOn = new URLSearchParams(window.location.search).get('study') !== 'off';

  // ---- The window services the module calls (Module.page) ------------------------------
  const page = {
    showBox(index, text) { boxes[index].show(text); },
    showLines(index, first, count, text) { boxes[index].showLines(first, count, text); },
    boxText(index) { return boxes[index].text(); },
    showMessage(text) { openDialog({ kind: 'message', title: frame.title, text, done: () => {} }); },
    programEnded() { programHasEnded = true; showEndedWhenIdle(); },
  };

  // ---- The window, from the module's table of controls ---------------------------------
  function buildWindow() {
    frame = Module.windowFrame();
    const client = $('orvik-client');
    client.style.width = frame.width + 'px';
    client.style.height = frame.height + 'px';
    $('orvik-title-bar').textContent = frame.title;
    $('orvik-window').setAttribute('aria-label', frame.title);
    const controls = Module.windowControls();
    // The elements go into the page in tab order, so the keyboard visits them as the desktop's.
    const inTabOrder = controls.slice().sort((a, b) => a.tabIndex - b.tabIndex);
    for (const control of inTabOrder) client.appendChild(elementFor(control));
    for (const control of controls) {
      if (control.kind !== 'label' || !control.labelFor) continue;
      const target = $(elementId(control.labelFor));
      target.setAttribute('aria-label', control.accessibleName);
    }
  }

  function elementId(name) { return 'orvik-' + name.replace(/[()]/g, '-'); }

  function elementFor(control) {
    let element;
    if (control.kind === 'label') {
      element = document.createElement('label');
      element.textContent = control.caption;
      if (control.labelFor) element.htmlFor = elementId(control.labelFor);
    } else if (control.kind === 'box') {
      element = document.createElement('input');
      element.type = 'text';
      element.readOnly = true;
      element.spellcheck = false;
      const input = element;
      boxes[control.box] = { element, show: (text) => { input.value = text; }, text: () => input.value };
    } else if (control.kind === 'pane') {
      const pane = listingPane(control.box);
      element = pane.element;
      boxes[control.box] = pane;
    } else {
      element = document.createElement('button');
      element.type = 'button';
      const index = control.button;
      appendCaption(element, control.caption, control.accessKeyAt);
      if (control.accessKeyAt >= 0) {
        const key = control.caption[control.accessKeyAt].toLowerCase();
        accessKeys[key] = index;
        // Not the accesskey attribute: Chromium would press the button a second time.
        element.setAttribute('aria-keyshortcuts', 'Alt+' + key.toUpperCase());
      }
      element.addEventListener('click', () => click(index));
      buttons[index] = element;
    }
    element.id = elementId(control.name);
    element.dataset.control = control.name;
    Object.assign(element.style, {
      left: control.left + 'px', top: control.top + 'px',
      width: control.width + 'px', height: control.height + 'px',
    });
    return element;
  }

  // A pane: editable text that wraps long lines, one text node a line. A
  // memory write changes one line of a long listing; the pane changes just
  // that line's node, so the browser does not take in the whole listing again
  // (a text area would). After the user's edit the nodes no longer follow the
  // lines, and they are made again before the program changes any line.
  function listingPane(box) {
    const element = document.createElement('div');
    element.contentEditable = 'plaintext-only';
    element.className = 'pane';
    element.tabIndex = 0;
    element.spellcheck = false;
    element.setAttribute('role', 'textbox');
    element.setAttribute('aria-multiline', 'true');
    let nodes = [];
    let touched = false;
    element.addEventListener('input', () => {
      touched = true;
      if (simulator) simulator.paneEdited(box);
    });
    typeTabs(element);
    const pane = {
      element,
      // The whole text, after the user's edit or at start-up.
      show(text) {
        touched = false;
        const lines = text.split('\n');
        nodes = lines.map((line, i) => document.createTextNode(line + (i + 1 < lines.length ? '\n' : '')));
        element.replaceChildren(...nodes);
      },
      // Lines [first, first + count) become the lines of `text`; the rest stay.
      showLines(first, count, text) {
        // The user's typing left the nodes apart from the lines: split the text again.
        if (touched) pane.show(textOf(element));
        const lines = text.split('\n');
        const reachesEnd = first + count === nodes.length;
        const data = lines.map((line, i) => line + (i + 1 < lines.length || !reachesEnd ? '\n' : ''));
        if (lines.length === count) {
          data.forEach((d, i) => { if (nodes[first + i].data !== d) nodes[first + i].data = d; });
          return;
        }
        const added = data.map((d) => document.createTextNode(d));
        const following = nodes[first + count] || null;
        for (const node of nodes.slice(first, first + count)) node.remove();
        for (const node of added) element.insertBefore(node, following);
        nodes.splice(first, count, ...added);
      },
      text() { return textOf(element); },
    };
    pane.show('');
    return pane;
  }

  // The pane's text as typed: text nodes as they are, a line break the
  // browser made an element of as a line feed.
  function textOf(node) {
    let text = '';
    for (const child of node.childNodes) {
      if (child.nodeType === Node.TEXT_NODE) {
        text += child.data;
      } else if (child.nodeName === 'BR') {
        text += '\n';
      } else {
        if (text && !text.endsWith('\n')) text += '\n';
        text += textOf(child);
      }
    }
    return text;
  }

  // Tab types a tab in a pane, which separates the fields of a line, as on the
  // desktop. A browser keeps Ctrl+Tab for itself, so Escape and then Tab
  // (or Shift+Tab) move the focus on.
  function typeTabs(pane) {
    let leaving = false;
    pane.addEventListener('keydown', (event) => {
      const plainTab = event.key === 'Tab' && !event.shiftKey && !event.ctrlKey && !event.altKey && !event.metaKey;
      if (plainTab && !leaving) {
        event.preventDefault();
        document.execCommand('insertText', false, '\t');
      }
      leaving = event.key === 'Escape';
    });
  }

  // The access key's letter underlined, as the desktop draws it.
  function appendCaption(element, caption, accessKeyAt) {
    if (accessKeyAt < 0) { element.textContent = caption; return; }
    const underlined = document.createElement('u');
    underlined.textContent = caption[accessKeyAt];
    element.append(caption.slice(0, accessKeyAt), underlined, caption.slice(accessKeyAt + 1));
  }

  function click(index) {
    if (!simulator || !windowShown || dialogOpen() || running) return;
    simulator.click(index);
    showStudy();
    showEndedWhenIdle();
  }

  // ---- Study beside the window: the history of Traces lives in the module ---------------
  const STOPPED = {
    count: (n) => 'Ran ' + n + (n === 1 ? ' Trace.' : ' Traces.'),
    position: () => 'Stopped at the position.',
    error: () => 'Stopped at a run-time error.',
    ended: () => 'Stopped at the end of the run.',
    limit: () => 'Stopped at the step limit.',
    stopped: (n) => 'Stopped after ' + n + (n === 1 ? ' Trace.' : ' Traces.'),
    start: () => 'Already at start-up.',
    invalid: () => 'Give a number of at least 1 and a position from 0 to 1FF (hexadecimal).',
  };

  // The last Trace in words and the data path as the module draws it.
  function showStudy(status = '') {
    if (!studyOn || !simulator) return;
    const view = simulator.studyView();
    $('study-status').textContent = status;
    $('study-words').textContent = view.words;
    const picture = $('study-picture');
    picture.dataset.traces = view.traces;
    if (!view.picture) { picture.replaceChildren(); return; }
    const svg = new DOMParser().parseFromString(view.picture, 'image/svg+xml').documentElement;
    picture.replaceChildren(document.importNode(svg, true));
  }

  function studyAction(action) {
    return () => {
      if (!simulator || !windowShown || dialogOpen() || running) return;
      const before = simulator.studyView().traces;
      const stop = action();
      const ran = simulator.studyView().traces - before;
      showStudy(stop ? STOPPED[stop](ran) : '');
      showEndedWhenIdle();
    };
  }

  // A long run goes in slices, with the page shown and Stop heard between
  // them; a run that ends within its first slice ends before the click returns.
  const SLICE = 10000;
  let running = false;
  let stopAsked = false;

  // `runSlice(n)` runs at most n Traces and says why it stopped; `goesOn` is
  // the stop of a slice that ran all n.
  function studyRun(total, goesOn, runSlice) {
    return async () => {
      if (!simulator || !windowShown || dialogOpen() || running) return;
      const count = total();
      if (count < 1) { showStudy(STOPPED.invalid()); return; }
      const before = simulator.studyView().traces;
      const ran = () => simulator.studyView().traces - before;
      let stop = runSlice(Math.min(count, SLICE));
      if (stop === goesOn && count > SLICE) {
        running = true;
        stopAsked = false;
        $('study-stop').hidden = false;
        while (stop === goesOn && ran() < count && !stopAsked && !dialogOpen()) {
          showStudy('Running: ' + ran() + ' Traces so far.');
          await new Promise((resolve) => setTimeout(resolve, 0));
          if (!stopAsked) stop = runSlice(Math.min(count - ran(), SLICE));
        }
        if (stopAsked && stop === goesOn) stop = 'stopped';
        running = false;
        $('study-stop').hidden = true;
      }
      showStudy(STOPPED[stop](ran()));
      showEndedWhenIdle();
    };
  }

  const studyNumber = (id) => Math.trunc(Math.min(Number($(id).value) || 0, 0x7fffffff));
  $('study-back').addEventListener('click', studyAction(() => (simulator.stepBack() ? '' : 'start')));
  $('study-run').addEventListener('click', studyRun(
    () => studyNumber('study-count'), 'count', (n) => simulator.runTraces(n)));
  $('study-to-position').addEventListener('click', studyRun(
    () => studyNumber('study-limit'), 'limit', (n) => simulator.runToPosition($('study-position').value.trim(), n)));
  $('study-to-end').addEventListener('click', studyRun(
    () => studyNumber('study-limit'), 'limit', (n) => simulator.runToEnd(n)));
  $('study-stop').addEventListener('click', () => { stopAsked = true; });

  // Alt (with or without Shift, as Firefox's access keys go) and a caption's
  // underlined letter press its button, wherever the focus is but in the tools beside the window.
  document.addEventListener('keydown', (event) => {
    if (dialogOpen() || !event.altKey || event.ctrlKey || event.metaKey) return;
    if ($('orvik-tools').contains(event.target)) return;
    // The key's place, not its character: Option+T types a dagger on a Mac.
    const letter = /^Key[A-Z]$/.test(event.code || '') ? event.code.slice(3).toLowerCase() : (event.key || '').toLowerCase();
    const index = accessKeys[letter];
    if (index === undefined || !windowShown) return;
    event.preventDefault();
    buttons[index].focus();
    buttons[index].click();
  });

  // ---- Dialogs, one at a time, each modal ----------------------------------------------
  const dialogQueue = [];
  let currentDialog = null;
  let focusBeforeDialogs = null;  // where the focus returns when the last dialog closes

  function dialogOpen() { return currentDialog !== null; }

  function openDialog(request) {
    if (!currentDialog && dialogQueue.length === 0) focusBeforeDialogs = document.activeElement;
    dialogQueue.push(request);
    if (!currentDialog) showNextDialog();
  }

  function showNextDialog() {
    currentDialog = dialogQueue.shift() || null;
    const overlay = $('orvik-dialog');
    if (!currentDialog) {
      overlay.hidden = true;
      if (windowShown && focusBeforeDialogs && document.contains(focusBeforeDialogs)) focusBeforeDialogs.focus();
      showEndedWhenIdle();
      return;
    }
    $('orvik-dialog-title').textContent = currentDialog.title;
    $('orvik-dialog-text').textContent = currentDialog.text;
    const input = $('orvik-dialog-input');
    const isInput = currentDialog.kind === 'input';
    input.hidden = !isInput;
    input.value = '';
    $('orvik-dialog-cancel').hidden = !isInput;
    $('orvik-dialog-box').setAttribute('aria-label', currentDialog.title);
    overlay.hidden = false;
    (isInput ? input : $('orvik-dialog-ok')).focus();
  }

  function closeDialog(answer) {
    const closing = currentDialog;
    if (!closing) return;
    currentDialog = null;
    $('orvik-dialog').hidden = true;
    closing.done(answer);
    if (!currentDialog) showNextDialog();
  }

  $('orvik-dialog-ok').addEventListener('click', () => closeDialog($('orvik-dialog-input').value));
  $('orvik-dialog-cancel').addEventListener('click', () => closeDialog(''));
  $('orvik-dialog').addEventListener('keydown', (event) => {
    if (event.key === 'Enter') { event.preventDefault(); $('orvik-dialog-ok').click(); }
    if (event.key === 'Escape' && !$('orvik-dialog-cancel').hidden) {
      event.preventDefault();
      $('orvik-dialog-cancel').click();
    }
  });

  // ---- Start-up, step by step, and the end ---------------------------------------------
  function startProgram() {
    if (simulator) simulator.delete();
    dialogQueue.length = 0;
    currentDialog = null;
    $('orvik-dialog').hidden = true;
    for (const box of boxes) box.show('');
    windowShown = false;
    programHasEnded = false;
    $('orvik-window').hidden = true;
    $('orvik-study').hidden = true;
    $('orvik-ended').hidden = true;
    simulator = new Module.Simulator();
    follow(simulator.beginStartUp());
  }

  function follow(step) {
    if (step.what === 'input') {
      openDialog({ kind: 'input', title: step.title, text: step.prompt,
                   done: (typed) => follow(simulator.answer(typed)) });
    } else if (step.what === 'message') {
      openDialog({ kind: 'message', title: frame.title, text: step.message,
                   done: () => follow(simulator.acknowledge()) });
    } else if (step.what === 'shown') {
      windowShown = true;
      $('orvik-window').hidden = false;
      if (studyOn) {
        simulator.startStudy();
        $('orvik-study').hidden = false;
        showStudy();
      }
      focusBeforeDialogs = firstInTabOrder();
      focusBeforeDialogs.focus();
    } else {
      programHasEnded = true;
      showEndedWhenIdle();
    }
  }

  function firstInTabOrder() {
    return $('orvik-client').querySelector('input, .pane, button');
  }

  // After Exit, or a start-up that failed, once its last message is acknowledged.
  function showEndedWhenIdle() {
    if (!programHasEnded || dialogOpen()) return;
    windowShown = false;
    $('orvik-window').hidden = true;
    $('orvik-study').hidden = true;
    $('orvik-ended').hidden = false;
    $('orvik-start-again').focus();
  }

  $('orvik-start-again').addEventListener('click', () => startProgram());

  // ---- The virtual folder --------------------------------------------------------------
  function folderNames(dir = FOLDER, prefix = '') {
    const names = [];
    for (const entry of Module.FS.readdir(dir)) {
      if (entry === '.' || entry === '..') continue;
      const path = dir + '/' + entry;
      if (Module.FS.isDir(Module.FS.stat(path).mode)) names.push(...folderNames(path, prefix + entry + '/'));
      else names.push(prefix + entry);
    }
    return names.sort();
  }

  function writeFile(base, name, bytes) {
    const parts = name.split('/').filter((p) => p !== '');
    let dir = base;
    for (const part of parts.slice(0, -1)) {
      dir += '/' + part;
      if (!Module.FS.analyzePath(dir).exists) Module.FS.mkdir(dir);
    }
    Module.FS.writeFile(dir + '/' + parts[parts.length - 1], bytes);
  }

  function refreshFolder() {
    const list = $('file-list');
    list.textContent = '';
    for (const name of folderNames()) {
      const item = document.createElement('li');
      const link = document.createElement('a');
      link.href = '#';
      link.textContent = name;
      link.title = 'Download ' + name;
      link.addEventListener('click', (event) => { event.preventDefault(); download(name); });
      item.appendChild(link);
      list.appendChild(item);
    }
  }

  function download(name) {
    const bytes = Module.FS.readFile(FOLDER + '/' + name);
    const url = URL.createObjectURL(new Blob([bytes], { type: 'application/octet-stream' }));
    const link = document.createElement('a');
    link.href = url;
    link.download = name.split('/').pop();
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(url), 1000);
  }

  async function addFiles(fileList) {
    for (const file of fileList) writeFile(FOLDER, file.name, new Uint8Array(await file.arrayBuffer()));
    refreshFolder();
  }

  $('file-picker').addEventListener('change', async (event) => {
    await addFiles(event.target.files);
    event.target.value = '';
  });
  document.addEventListener('dragover', (event) => { event.preventDefault(); document.body.classList.add('dragging'); });
  document.addEventListener('dragleave', () => document.body.classList.remove('dragging'));
  document.addEventListener('drop', async (event) => {
    event.preventDefault();
    document.body.classList.remove('dragging');
    await addFiles(event.dataTransfer.files);
  });

  // ---- The companions: the assembler and a run to the end -------------------------------
  // Sources are text the user types; they are saved as UTF-8, as an editor would.
  function saveSource() {
    const name = $('asm-name').value;
    writeFile(FOLDER, name, new TextEncoder().encode($('asm-source').value));
    refreshFolder();
    return name;
  }

  function assemble(mode) {
    const name = saveSource();
    const result = Module.assemble(mode ? [mode, name] : [name]);
    const done = result.status === 0 ? 'Assembled into the folder.\n' : '';
    $('asm-output').textContent = result.out + result.err + done;
    refreshFolder();
    return result;
  }

  $('asm-open').addEventListener('click', () => {
    const path = FOLDER + '/' + $('asm-name').value;
    $('asm-source').value = Module.FS.analyzePath(path).exists
      ? new TextDecoder().decode(Module.FS.readFile(path)) : '';
  });
  $('asm-save').addEventListener('click', () => saveSource());
  $('asm-program').addEventListener('click', () => assemble(''));
  $('asm-memory').addEventListener('click', () => assemble('--memory'));
  $('run-go').addEventListener('click', () => {
    const result = Module.runToEnd(['--trace', $('run-control').value, $('run-memory').value]);
    $('run-output').textContent = result.out + result.err;
  });

  // ---- For tests: a session script run against this page's window ------------------------
  // The session's front end drives the page through these, as a user would.
  Object.assign(page, {
    start() { startProgram(); },
    dialog() {
      return currentDialog ? { kind: currentDialog.kind, title: $('orvik-dialog-title').textContent,
                               text: $('orvik-dialog-text').textContent } : null;
    },
    answerDialog(typed) {
      $('orvik-dialog-input').value = typed;
      $('orvik-dialog-ok').click();
    },
    acknowledgeDialog() { $('orvik-dialog-ok').click(); },
    clickButton(index) { buttons[index].click(); },
    pressAltKey(letter) {
      const target = document.activeElement || document.body;
      target.dispatchEvent(new KeyboardEvent('keydown', { key: letter, code: 'Key' + letter.toUpperCase(),
                                                          altKey: true, bubbles: true, cancelable: true }));
    },
    editPane(index, text) {
      // As typing would: the pane's text changes and the pane hears of it.
      const element = boxes[index].element;
      element.textContent = text;
      element.dispatchEvent(new Event('input', { bubbles: true }));
    },
    isShown() { return windowShown; },
    hasEnded() { return programHasEnded; },
  });

  // The window's controls as the module describes them, for the tests of the page.
  window.orvikControls = () => Module.windowControls();

  let sessions = 0;
  // `files` maps relative names (folders allowed) to their bytes; resolves to
  // the transcript. The exit status and the error line are in window.orvikLastSession.
  window.orvikSession = async function (script, files) {
    await ready;
    const dir = '/sessions/' + (++sessions);
    Module.FS.mkdirTree(dir);
    for (const [name, bytes] of Object.entries(files || {})) writeFile(dir, name, bytes);
    const scriptBytes = typeof script === 'string' ? new TextEncoder().encode(script) : script;
    Module.FS.writeFile(dir + '.script', scriptBytes);
    const result = Module.runSession(dir + '.script', dir, FOLDER);
    window.orvikLastSession = { status: result.status, error: result.error, transcript: result.transcript };
    return result.transcript;
  };

  if (!studyOn) $('run-section').remove();

  const ready = createOrvikModule({ page }).then((module) => {
    Module = module;
    Module.FS.chdir(FOLDER);
    buildWindow();
    refreshFolder();
    $('orvik-loading').hidden = true;
    startProgram();
  });
  window.orvikReady = ready;
})();
