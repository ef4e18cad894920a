// The song's player on the audio thread: libopenmpt (chiptune3's worklet build) renders the song as the
// console's player module does (Amiga resampler, no dither, endless), at the volume the program sets, and
// each command takes effect at the sample the page timed it for: the blank it belongs to.
import libopenmptFactory from './chiptune3/libopenmpt.worklet.js';

const FULL_VOLUME = 16383;
const REPORT_FRAMES = 4800;

let lib = null;
let libFailed = '';
libopenmptFactory().then((m) => { lib = m; }, (e) => { libFailed = String(e); });

// An ASCII string in libopenmpt's memory (the audio thread has no TextEncoder).
function cString(text) {
  const at = lib._malloc(text.length + 1);
  for (let i = 0; i < text.length; ++i) lib.HEAPU8[at + i] = text.charCodeAt(i);
  lib.HEAPU8[at + text.length] = 0;
  return at;
}

class SongProcessor extends AudioWorkletProcessor {
  constructor() {
    super();
    this.queue = [];
    this.song = 0;
    this.playing = false;
    this.volume = FULL_VOLUME;
    this.buffer = 0;
    this.rendered = 0;   // frames of the song made so far
    this.peak = 0;       // largest sample since the last report
    this.worstCommand = '';
    this.worstLate = 0;  // the latest a timed command took effect after its time, in seconds
    this.sinceReport = 0;
    this.told = false;
    this.port.onmessage = (e) => this.queue.push(e.data);
    this.ready = false;
  }

  process(inputs, outputs) {
    const left = outputs[0][0], right = outputs[0][1];
    const n = left.length;
    if (!lib && libFailed && !this.told) {
      this.told = true;
      this.port.postMessage({ cmd: 'error', text: 'libopenmpt did not start: ' + libFailed });
    }
    if (lib && !this.ready) {
      this.ready = true;
      this.port.postMessage({ cmd: 'ready' });
    }
    let at = 0;
    while (at < n) {
      let end = n;
      while (this.queue.length && lib) {
        const command = this.queue[0];
        const due = command.at > 0 ? Math.round(command.at * sampleRate) - currentFrame : at;
        if (due > at) {
          end = Math.min(n, due);
          break;
        }
        this.queue.shift();
        if (command.at > 0 && (at - due) / sampleRate > this.worstLate) {
          this.worstLate = (at - due) / sampleRate;
          this.worstCommand = command.cmd;
        }
        this.apply(command);
      }
      this.render(left, right, at, end);
      at = end;
    }
    this.sinceReport += n;
    if (this.sinceReport >= REPORT_FRAMES) this.report();
    return true;
  }

  apply(command) {
    switch (command.cmd) {
      case 'load': this.load(command.bytes); break;
      case 'play':
        if (this.song) {
          lib._openmpt_module_set_position_order_row(this.song, 0, 0);
          this.playing = true;
        }
        break;
      case 'stop': this.playing = false; break;
      case 'volume': this.volume = Math.min(command.value, FULL_VOLUME); break;
      case 'unload': this.unload(); break;
    }
  }

  load(bytes) {
    this.unload();
    const file = lib._malloc(bytes.length);
    lib.HEAPU8.set(bytes, file);
    this.song = lib._openmpt_module_create_from_memory2(file, bytes.length, 0, 0, 0, 0, 0, 0, 0);
    lib._free(file);
    if (!this.song) {
      this.port.postMessage({ cmd: 'error', text: 'the song is not a module libopenmpt can play' });
      return;
    }
    if (!this.ctl('render.resampler.emulate_amiga', '1'))
      this.port.postMessage({ cmd: 'message', text: 'the Amiga resampler is not available; the song plays through the default one' });
    // No dither: the same song always gives the same sound.
    this.ctl('dither', '0');
    lib._openmpt_module_set_repeat_count(this.song, -1);
    if (!this.buffer) this.buffer = lib._malloc(4 * 128);
  }

  ctl(name, value) {
    const key = cString(name), text = cString(value);
    const done = lib._openmpt_module_ctl_set(this.song, key, text);
    lib._free(key);
    lib._free(text);
    return done;
  }

  unload() {
    if (this.song) lib._openmpt_module_destroy(this.song);
    this.song = 0;
    this.playing = false;
  }

  // Frames [from, to) of this quantum: the song at the program's volume, scaled as the module scales it.
  render(left, right, from, to) {
    let made = 0;
    if (this.song && this.playing && to > from) {
      made = lib._openmpt_module_read_interleaved_stereo(this.song, sampleRate, to - from, this.buffer);
      const samples = lib.HEAP16;
      const base = this.buffer >> 1;
      for (let i = 0; i < made; ++i) {
        let l = samples[base + 2 * i], r = samples[base + 2 * i + 1];
        if (this.volume !== FULL_VOLUME) {
          l = Math.trunc((l * this.volume) / FULL_VOLUME);
          r = Math.trunc((r * this.volume) / FULL_VOLUME);
        }
        this.peak = Math.max(this.peak, Math.abs(l), Math.abs(r));
        left[from + i] = l / 32768;
        right[from + i] = r / 32768;
      }
      this.rendered += made;
    }
    left.fill(0, from + made, to);
    right.fill(0, from + made, to);
  }

  report() {
    const s = this.song;
    this.port.postMessage({
      cmd: 'stats', rendered: this.rendered, peak: this.peak / 32768, worstLate: this.worstLate, worstCommand: this.worstCommand,
      position: s ? [lib._openmpt_module_get_current_order(s), lib._openmpt_module_get_current_pattern(s),
        lib._openmpt_module_get_current_row(s), lib._openmpt_module_get_current_speed(s)] : [0, 0, 0, 0],
    });
    this.peak = 0;
    this.sinceReport = 0;
  }
}

registerProcessor('orb-song', SongProcessor);
