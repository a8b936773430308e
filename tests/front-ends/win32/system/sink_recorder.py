"""The sound server's null sink as the system tests listen to it: when a bell sounded,
to the millisecond, and for how long. Debian's python3 with PulseAudio's simple API
through ctypes (libpulse-simple.so.0, Debian's libpulse0)."""

import array
import ctypes
import threading
import time

from tollbrook_wine import required


class _SampleSpec(ctypes.Structure):
    _fields_ = [("format", ctypes.c_int), ("rate", ctypes.c_uint32), ("channels", ctypes.c_uint8)]


class _BufferAttr(ctypes.Structure):
    _fields_ = [(n, ctypes.c_uint32) for n in ("maxlength", "tlength", "prebuf", "minreq", "fragsize")]


class SinkRecorder:
    """Records the null sink's monitor through PulseAudio's simple API, 16-bit mono at
    44.1 kHz, and knows when each sample was captured: every read is stamped with the
    wall clock less the server's latency (a stamp can only err late). A new record
    stream brings its first second or so late and in bursts, so recording starts well
    before the bell and that start is dropped."""

    RATE = 44100

    def __init__(self):
        sink = required("TOLLBROOK_TEST_SINK")
        pulse = ctypes.CDLL("libpulse-simple.so.0")
        pulse.pa_simple_new.restype = ctypes.c_void_p
        pulse.pa_simple_new.argtypes = [ctypes.c_char_p, ctypes.c_char_p, ctypes.c_int, ctypes.c_char_p,
                                        ctypes.c_char_p, ctypes.POINTER(_SampleSpec), ctypes.c_void_p,
                                        ctypes.POINTER(_BufferAttr), ctypes.POINTER(ctypes.c_int)]
        pulse.pa_simple_read.argtypes = [ctypes.c_void_p, ctypes.c_void_p, ctypes.c_size_t,
                                         ctypes.POINTER(ctypes.c_int)]
        pulse.pa_simple_get_latency.restype = ctypes.c_uint64
        pulse.pa_simple_get_latency.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int)]
        pulse.pa_simple_free.argtypes = [ctypes.c_void_p]
        self._pulse = pulse
        spec = _SampleSpec(3, self.RATE, 1)  # PA_SAMPLE_S16LE
        attr = _BufferAttr(0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 441 * 2)  # 10 ms reads
        error = ctypes.c_int(0)
        self._stream = pulse.pa_simple_new(None, b"tollbrook-system-tests", 2, f"{sink}.monitor".encode(),
                                           b"record", ctypes.byref(spec), None, ctypes.byref(attr),
                                           ctypes.byref(error))
        if not self._stream:
            raise RuntimeError(f"cannot record {sink}.monitor (PulseAudio error {error.value})")
        self._lock = threading.Lock()
        self._samples = array.array("h")
        self._reads = []  # (end index, capture time of the read's last sample)
        self._stop = False
        self._thread = threading.Thread(target=self._run, daemon=True)
        self._thread.start()
        time.sleep(1.5)
        with self._lock:
            self._samples = array.array("h")
            self._reads = []

    def _run(self):
        buffer = ctypes.create_string_buffer(441 * 2)
        error = ctypes.c_int(0)
        while not self._stop:
            if self._pulse.pa_simple_read(self._stream, buffer, len(buffer), ctypes.byref(error)) < 0:
                return
            now = time.time()
            latency = self._pulse.pa_simple_get_latency(self._stream, ctypes.byref(error)) / 1e6
            with self._lock:
                self._samples.frombytes(buffer.raw)
                self._reads.append((len(self._samples), now - latency))

    def close(self):
        self._stop = True
        self._thread.join(5)
        self._pulse.pa_simple_free(self._stream)

    def _time_of(self, index):
        for end, captured in self._reads:
            if index < end:
                return captured - (end - 1 - index) / self.RATE
        return self._reads[-1][1] if self._reads else 0.0

    def sound(self, since, level=0.05):
        """(onset time, index) of the first sample louder than `level` captured at or
        after `since` (wall-clock seconds), else None."""
        threshold = int(level * 32768)
        with self._lock:
            start = next((end for end, captured in self._reads if captured >= since), None)
            if start is None:
                return None
            for i in range(max(0, start - 441), len(self._samples)):
                if abs(self._samples[i]) > threshold and self._time_of(i) >= since:
                    return self._time_of(i), i
        return None

    def last_loud(self, after_index, level=0.03):
        """Index of the last sample louder than `level` from `after_index` on."""
        threshold = int(level * 32768)
        with self._lock:
            for i in range(len(self._samples) - 1, after_index - 1, -1):
                if abs(self._samples[i]) > threshold:
                    return i
        return None

    def length(self):
        with self._lock:
            return len(self._samples)
