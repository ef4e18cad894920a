// The page around the program: starts it, draws its fields, plays its song, passes the keys and says what
// went wrong in one sentence while the picture runs on.
//
// Address options: ?fast runs without pacing, ?hold=N stops with field N on show, ?nopicture draws nothing,
// ?silent makes no sound, ?autostart starts without waiting for a click.
'use strict';

(() => {
  const FIELD_MS = 20;
  const params = new URLSearchParams(location.search);
  const fast = params.has('fast');
  const hold = Number(params.get('hold') || 0);
  const noPicture = params.has('nopicture');
  const wantSound = !params.has('silent') && !noPicture;

  const canvas = document.getElementById('canvas');
  const screen = document.getElementById('screen');
  const overlay = document.getElementById('overlay');
  const statusLine = document.getElementById('status');
  const noticeLine = document.getElementById('notice');
  const draw = canvas.getContext('2d');

  // What the page reports, for people in the status line and for tests in window.orbStats.
  const stats = window.orbStats = {
    started: false, fields: 0, shown: 0, notShown: 0, lastShown: -1, behind: 0, holding: false, runMs: 0,
    audio: 'off', audioFrames: 0, audioPeak: 0, worstLateMs: 0, commandsBehindMs: 0, outputLatencyMs: 0, notices: [], log: [],
  };

  function notice(sentence) {
    if (stats.notices.includes(sentence)) return;
    stats.notices.push(sentence);
    noticeLine.textContent = stats.notices.join(' ');
  }

  function log(text) {
    stats.log.push(text);
    if (stats.log.length > 200) stats.log.shift();
    console.log('orbdemo: ' + text);
  }

  // The page's clock in ms: stops while paused; a step moves it on by one field.
  const clock = {
    pausedAt: null, pausedFor: 0, auto: false,
    now() { return (this.pausedAt ?? performance.now()) - this.pausedFor; },
    pause(auto) { if (this.pausedAt === null) { this.pausedAt = performance.now(); this.auto = auto; } },
    resume() { if (this.pausedAt !== null) { this.pausedFor += performance.now() - this.pausedAt; this.pausedAt = null; } },
    step() { if (this.pausedAt !== null) this.pausedFor -= FIELD_MS; },
    get paused() { return this.pausedAt !== null; },
  };

  const kCommandLead = 0.010; // seconds

  // The song's worklet, and the times the page's clock and the audio clock give the same moment.
  const sound = { context: null, node: null, position: [0, 0, 0, 0] };

  // The audio thread's time for a moment on the page's clock. The sound then leaves the speakers the output
  // latency later, as a drawn picture leaves the screen the compositor's latency later.
  function audioTime(pageMs) {
    const c = sound.context;
    stats.outputLatencyMs = ((c.outputLatency || 0) + (c.baseLatency || 0)) * 1000;
    return c.currentTime + (pageMs + clock.pausedFor - performance.now()) / 1000;
  }

  async function openSound() {
    if (!wantSound) return;
    try {
      try {
        sound.context = new AudioContext({ sampleRate: 48000, latencyHint: 'interactive' });
      } catch (e) {
        sound.context = new AudioContext();
      }
      await sound.context.audioWorklet.addModule('sound.worklet.js');
      sound.node = new AudioWorkletNode(sound.context, 'orb-song',
        { numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2] });
      sound.node.connect(sound.context.destination);
      // The program starts once libopenmpt is up on the audio thread (the worklet's first quantum tells),
      // so that the song starts with the first field; a context still waiting for a click starts it later.
      const ready = new Promise((resolve) => { sound.ready = resolve; });
      sound.node.port.onmessage = (e) => heard(e.data);
      stats.audio = sound.context.state;
      sound.whenReady = () => Promise.race([ready, new Promise((r) => setTimeout(r, 5000))]);
    } catch (e) {
      sound.context = null;
      sound.node = null;
      stats.audio = 'failed';
      notice('This browser gives the page no sound, so the demo runs silent.');
      log('no sound: ' + e);
    }
  }

  function heard(message) {
    if (message.cmd === 'stats') {
      stats.audioFrames = message.rendered;
      stats.audioPeak = Math.max(stats.audioPeak, message.peak);
      stats.worstLateMs = message.worstLate * 1000;
      stats.worstLateCommand = message.worstCommand;
      sound.position = message.position;
    } else if (message.cmd === 'ready') {
      if (sound.ready) sound.ready();
    } else if (message.cmd === 'error') {
      notice('The song cannot be played (' + message.text + '), so the demo runs silent.');
    } else if (message.cmd === 'message') {
      log(message.text);
    }
  }

  // What the program's player module sends: the song's bytes, play, stop and volume, each timed on the
  // page's clock for the blank it belongs to (0: at once).
  const page = {
    clock: () => clock.now(),
    message: (text) => log(text),
    song(what, atMs, bytes, value) {
      if (!sound.node) return;
      // A program running behind gives its commands late, and its pictures come late with them: the
      // command then takes effect at once, with the picture it goes with.
      const now = clock.now();
      if (atMs > 0) stats.commandsBehindMs = Math.max(stats.commandsBehindMs, now - atMs);
      // The page's view of the audio clock lags the audio thread's by up to a render buffer: half a field
      // of lead lets each command reach the worklet before its sample, at the cost of the sound following
      // the picture by that half field.
      const at = fast || atMs <= 0 ? 0 : audioTime(Math.max(atMs, now)) + kCommandLead;
      const command = { cmd: what, at, value };
      if (bytes) command.bytes = bytes;
      sound.node.port.postMessage(command, bytes ? [bytes.buffer] : []);
    },
    songPosition: (which) => sound.position[which] | 0,
  };

  function showField() {
    if (!window.Module || !Module.calledRun) return;
    const at = Module._orb_take_picture();
    if (at) {
      const width = Module._orb_picture_width(), height = Module._orb_picture_height();
      if (canvas.width !== width || canvas.height !== height) {
        canvas.width = width;
        canvas.height = height;
      }
      const pixels = new Uint8ClampedArray(Module.HEAPU8.buffer, at, width * height * 4);
      draw.putImageData(new ImageData(pixels, width, height), 0, 0);
      ++stats.shown;
    }
    stats.fields = Module._orb_fields();
    stats.lastShown = Module._orb_shown_field();
    stats.notShown = Module._orb_not_shown();
    stats.behind = Module._orb_behind();
    stats.holding = Module._orb_holding() === 1;
    if (stats.holding) stats.runMs = Module._orb_run_ms();
  }

  let lastStatus = 0;
  function tick(now) {
    if (!noPicture) showField();
    else if (window.Module && Module.calledRun) {
      stats.fields = Module._orb_fields();
      stats.holding = Module._orb_holding() === 1;
      if (stats.holding) stats.runMs = Module._orb_run_ms();
    }
    if (now - lastStatus > 250) {
      lastStatus = now;
      const parts = [clock.paused ? 'paused at field ' + stats.lastShown + ' (Space resumes, . steps)'
                                  : 'field ' + stats.lastShown,
        stats.notShown + ' not shown'];
      if (stats.behind > 1) parts.push(stats.behind + ' behind');
      if (sound.node) parts.push(stats.audioFrames + ' audio frames');
      statusLine.textContent = parts.join(' · ');
    }
    requestAnimationFrame(tick);
  }

  function setPaused(paused, auto) {
    if (paused === clock.paused) return;
    if (paused) clock.pause(auto); else clock.resume();
    if (sound.context) (paused ? sound.context.suspend() : sound.context.resume()).catch(() => {});
  }

  function toggleFullScreen() {
    if (document.fullscreenElement) document.exitFullscreen();
    else if (screen.requestFullscreen) screen.requestFullscreen().catch(() => notice('This browser did not allow full screen.'));
  }

  function onKey(event, down) {
    if (!stats.started) return;
    if (down && event.code === 'Space') { setPaused(!clock.paused, false); event.preventDefault(); return; }
    if (down && event.code === 'KeyF') { toggleFullScreen(); return; }
    if (down && event.code === 'Period') { clock.step(); return; }
    if (event.repeat || !Module.calledRun) return;
    if (Module.ccall('orb_key', 'number', ['string', 'number'], [event.code, down ? 1 : 0])) event.preventDefault();
  }

  async function fetchSong() {
    try {
      const response = await fetch('ROBOT.MOD');
      if (!response.ok) throw new Error(response.status + ' ' + response.statusText);
      return new Uint8Array(await response.arrayBuffer());
    } catch (e) {
      notice('The song ROBOT.MOD could not be loaded, so the demo runs without music.');
      log('song: ' + e);
      return null;
    }
  }

  function startProgram(song) {
    stats.started = true;
    const args = [];
    if (fast) args.push('--fast');
    if (noPicture) args.push('--no-picture');
    if (hold > 0) args.push('--hold', String(hold));
    window.Module = {
      orbPage: page,
      noInitialRun: true,
      print: (text) => log(text),
      printErr: (text) => log(text),
      preRun: [() => {
        Module.FS.mkdir('/host');
        if (song) Module.FS.writeFile('/host/ROBOT.MOD', song);
      }],
      onRuntimeInitialized: () => Module.callMain(args),
      onAbort: (what) => notice('The demo stopped: ' + what + '.'),
    };
    const script = document.createElement('script');
    script.src = 'orbdemo.js';
    script.onerror = () => notice('The program orbdemo.js could not be loaded.');
    document.body.appendChild(script);
    requestAnimationFrame(tick);
  }

  async function main() {
    if (typeof WebAssembly !== 'object') {
      notice('This browser cannot run WebAssembly, so the demo cannot run here.');
      return;
    }
    const [song] = await Promise.all([fetchSong(), openSound()]);
    let starting = false;
    const start = async () => {
      if (starting) return;
      starting = true;
      overlay.hidden = true;
      if (sound.context) {
        await sound.context.resume().catch(() => {});
        stats.audio = sound.context.state;
        await sound.whenReady();
      }
      startProgram(song);
    };
    // Browsers let a page make sound only after a click or a key, unless they were told otherwise.
    if (!sound.context || sound.context.state === 'running' || params.has('autostart')) {
      start();
    } else {
      overlay.hidden = false;
      overlay.addEventListener('click', start);
      addEventListener('keydown', start, { once: true });
    }
  }

  addEventListener('keydown', (e) => onKey(e, true));
  addEventListener('keyup', (e) => onKey(e, false));
  addEventListener('blur', () => { if (window.Module && Module.calledRun) Module._orb_release_keys(); });
  // A hidden page gets no frames and few timers: it pauses, and goes on when seen again.
  document.addEventListener('visibilitychange', () => {
    if (!stats.started) return;
    if (document.hidden) setPaused(true, true);
    else if (clock.auto) setPaused(false, false);
  });
  addEventListener('error', (e) => notice('The demo stopped: ' + e.message + '.'));
  main();
})();
