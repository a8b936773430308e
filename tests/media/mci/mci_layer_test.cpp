#include "core/dialogs.h"
#include "core/error_boxes.h"
#include "core/worker.h"
#include "media/mci/mci_media_layer.h"
#include "media/mci/wave_volume.h"
#include "media/mci/window_poster.h"
#include "tests/media/media_layer_contract.h"
#include "tests/temp_dir.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <thread>

#include <windows.h>
#include <mmsystem.h>
#include <psapi.h>

namespace {

using namespace std::chrono_literals;
using tb::mci::Command;
using tb::test::MediaLayerContract;
namespace mci = tb::mci;

// A 16-bit mono PCM file holding a tone.
void writeWav(const std::filesystem::path& file, int milliseconds, double frequency = 440.0) {
    const int rate = 22050;
    const int count = rate * milliseconds / 1000;
    std::string data;
    for (int i = 0; i < count; ++i) {
        const auto s = static_cast<std::int16_t>(std::lround(16000 * std::sin(2 * 3.14159265358979 * frequency * i / rate)));
        data += static_cast<char>(s & 0xFF);
        data += static_cast<char>((s >> 8) & 0xFF);
    }
    auto u32 = [](std::size_t v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    auto u16 = [](std::uint16_t v) { return std::string{char(v), char(v >> 8)}; };
    const std::string header = "RIFF" + u32(36 + data.size()) + "WAVEfmt " + u32(16) + u16(1) + u16(1) + u32(rate) +
                               u32(rate * 2) + u16(2) + u16(16) + "data" + u32(data.size());
    std::ofstream(file, std::ios::binary) << header << data;
}

// A standard MIDI file: one piano note, `note`, held for `milliseconds`.
void writeMidi(const std::filesystem::path& file, int milliseconds, int note) {
    auto u32 = [](std::uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
    auto vlq = [](std::uint32_t v) {
        std::string out(1, char(v & 0x7F));
        while (v >>= 7) out.insert(out.begin(), char(0x80 | (v & 0x7F)));
        return out;
    };
    // 480 ticks a quarter note at 500,000 us a quarter: a tick is 1/960 s.
    const std::string track = std::string("\x00\xFF\x51\x03\x07\xA1\x20", 7) + std::string("\x00\xC0\x00", 3) +
                              std::string("\x00\x90", 2) + char(note) + char(100) +
                              vlq(static_cast<std::uint32_t>(milliseconds * 960 / 1000)) + "\x80" + char(note) +
                              char(0) + std::string("\x00\xFF\x2F\x00", 4);
    std::ofstream(file, std::ios::binary) << "MThd" << u32(6) << std::string("\x00\x00\x00\x01\x01\xE0", 6) << "MTrk"
                                          << u32(static_cast<std::uint32_t>(track.size())) << track;
}

std::string utf8(const std::filesystem::path& p) {
    const std::u8string s = p.u8string();
    return std::string(s.begin(), s.end());
}

// Runs this thread's messages (the user-interface thread's loop) until `done` holds,
// at most `limit`.
bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
    }
    return true;
}

struct Notices final : tb::NoticeReceiver {
    std::vector<std::pair<std::uint32_t, std::uint16_t>> got;
    std::vector<DWORD> threads;
    void mciNotify(std::uint32_t code, std::uint16_t id) override {
        got.emplace_back(code, id);
        threads.push_back(::GetCurrentThreadId());
    }
};

class MciLayer : public ::testing::Test {
protected:
    std::uint16_t open(const std::filesystem::path& file, std::uint32_t* error = nullptr) {
        tb::MciParams p;
        p.element = utf8(file);
        const std::uint32_t e = layer.sendCommand(0, Command::Open, mci::OPEN_ELEMENT | mci::WAIT, p);
        if (error != nullptr) *error = e;
        return e == 0 ? p.deviceId : 0;
    }
    std::uint32_t send(std::uint16_t id, Command c, std::uint32_t flags, tb::MciParams& p) {
        return layer.sendCommand(id, c, flags, p);
    }
    std::uint32_t status(std::uint16_t id, std::uint32_t item) {
        tb::MciParams p;
        p.item = item;
        EXPECT_EQ(send(id, Command::Status, mci::STATUS_ITEM | mci::WAIT, p), 0u);
        return p.returnValue;
    }

    // Closes run on the devices' workers after the layer is gone: they end before the
    // test does (a process that exits during an MCI close under Wine can crash there).
    void TearDown() override {
        owned.reset();
        EXPECT_TRUE(tb::Worker::waitForAll(10s));
    }

    tb::test::TempDir dir;
    tb::WindowPoster poster;
    std::unique_ptr<tb::MciMediaLayer> owned = std::make_unique<tb::MciMediaLayer>(poster);
    tb::MciMediaLayer& layer = *owned;
};

// The error box names the file the failure is about, after MCI's own words.
TEST_F(MciLayer, FailedOpenTextIsMcisAndNamesTheFile) {
    const std::filesystem::path missing = dir / "missing.wav";
    std::uint32_t error = 0;
    EXPECT_EQ(open(missing, &error), 0);
    ASSERT_NE(error, 0u);
    wchar_t text[MAXERRORLENGTH];
    ASSERT_TRUE(::mciGetErrorStringW(error, text, MAXERRORLENGTH));
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string mciText(static_cast<std::size_t>(n - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, mciText.data(), n, nullptr, nullptr);
    EXPECT_EQ(layer.errorText(error), mciText + ": " + utf8(missing));
    tb::MciParams p;
    EXPECT_EQ(send(999, Command::Play, 0, p), static_cast<std::uint32_t>(MCIERR_INVALID_DEVICE_ID));
}

// A MIDI file on the sequencer without a MIDI output device would play for ever without
// a sound or a notice: the open says so instead.
TEST_F(MciLayer, SequencerWithoutMidiOutputIsRefusedAtItsOpen) {
    writeMidi(dir / "bell.mid", 500, 72);
    tb::MciParams p;
    p.deviceType = "sequencer";
    p.element = utf8(dir / "bell.mid");
    const std::uint32_t error = send(0, Command::Open, mci::OPEN_TYPE | mci::OPEN_ELEMENT | mci::WAIT, p);
    if (::midiOutGetNumDevs() > 0) {
        std::printf("this system has %u MIDI output devices: the sequencer plays\n", ::midiOutGetNumDevs());
        EXPECT_EQ(error, 0u);
        return;
    }
    EXPECT_EQ(error, tb::MciMediaLayer::kNoMidiOutput);
    EXPECT_EQ(layer.errorText(error), "There is no MIDI output device to play this file on: " + p.element);
    EXPECT_EQ(layer.openDevices(), 0u);
}

// Closing a playing bell (0.4 s under Wine) goes on on its worker: the caller goes on.
TEST_F(MciLayer, CloseOfAPlayingDeviceDoesNotHoldUpTheCaller) {
    writeWav(dir / "long.wav", 3000);
    const std::uint16_t id = open(dir / "long.wav");
    ASSERT_NE(id, 0);
    tb::MciParams play;
    ASSERT_EQ(send(id, Command::Play, 0, play), 0u);
    EXPECT_TRUE(pumpUntil([&] { return status(id, mci::STATUS_MODE) == mci::MODE_PLAY; }, 5s))
        << "mode " << status(id, mci::STATUS_MODE);
    const auto start = std::chrono::steady_clock::now();
    tb::MciParams close;
    EXPECT_EQ(send(id, Command::Close, mci::WAIT, close), 0u);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_LT(took, 300ms) << "the close waited for the device";
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
}

// A device whose worker is held up (here by a play that waits for its end, as an open
// on a hung share would be) holds up that worker only: the caller hears of it within
// the limit, and can close the device at once.
TEST(MciLayerLimits, BusyDeviceAnswersWithinTheLimit) {
    tb::test::TempDir dir;
    writeWav(dir / "long.wav", 3000);
    tb::WindowPoster poster;
    tb::MciMediaLayer layer(poster, tb::MciMediaLayer::Options{500ms});
    tb::MciParams open;
    open.element = utf8(dir / "long.wav");
    ASSERT_EQ(layer.sendCommand(0, Command::Open, mci::OPEN_ELEMENT | mci::WAIT, open), 0u);
    tb::MciParams play, status, close;
    const auto start = std::chrono::steady_clock::now();
    const std::uint32_t error = layer.sendCommand(open.deviceId, Command::Play, mci::WAIT, play);
    status.item = mci::STATUS_MODE;
    const std::uint32_t statusError = layer.sendCommand(open.deviceId, Command::Status, mci::STATUS_ITEM, status);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(error, tb::MciMediaLayer::kTimedOut);
    EXPECT_EQ(statusError, tb::MciMediaLayer::kTimedOut);
    EXPECT_LT(took, 2000ms);
    EXPECT_EQ(layer.errorText(error), "The device did not answer in time: " + open.element);
    EXPECT_EQ(layer.sendCommand(open.deviceId, Command::Close, mci::WAIT, close), 0u);
    EXPECT_EQ(layer.openDevices(), 0u);
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
}

// MCI devices open in this process, whoever opened them.
int openMciDevices() {
    wchar_t answer[32] = {};
    if (::mciSendStringW(L"sysinfo all quantity open", answer, 32, nullptr) != 0) return -1;
    return _wtoi(answer);
}

// Replaces `file` by `with` from outside Windows, as the server of a share can while a
// program holds the file open: Wine runs Unix programs, and mv is not held back by the
// open file's sharing mode. Wine gives no handle to wait on: the size tells when.
bool replaceFromOutside(const std::filesystem::path& file, const std::filesystem::path& with) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (unixName == nullptr) return false;
    const auto name = [&](const std::filesystem::path& p) {
        char* n = unixName(p.c_str());
        std::wstring out = n != nullptr ? std::filesystem::u8path(n).wstring() : L"";
        ::HeapFree(::GetProcessHeap(), 0, n);
        return out;
    };
    const auto size = std::filesystem::file_size(with);
    std::wstring command = L"/bin/mv -f \"" + name(with) + L"\" \"" + name(file) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"Z:\\bin\\mv", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process)) {
        return false;
    }
    return pumpUntil([&] {
        std::error_code ec;
        return !std::filesystem::exists(with, ec) && std::filesystem::file_size(file, ec) == size;
    }, 10s);
}

// The next bell's file, opened ahead: taken by the open at its second when it is still
// the same file, closed when no bell takes it.
TEST_F(MciLayer, FileOpenedAheadThatNoBellTakesIsClosed) {
    writeWav(dir / "a.wav", 300);
    writeWav(dir / "b.wav", 300);
    layer.prepare(utf8(dir / "a.wav"));
    ASSERT_TRUE(pumpUntil([] { return openMciDevices() == 1; }, 10s)) << "not opened ahead";
    layer.prepare(utf8(dir / "b.wav"));  // another entry comes first now
    layer.prepare("");                   // and then none
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
    EXPECT_EQ(openMciDevices(), 0);
    layer.prepare(utf8(dir / "a.wav"));  // the layer goes with a file opened ahead
    ASSERT_TRUE(pumpUntil([] { return openMciDevices() == 1; }, 10s)) << "not opened ahead";
    owned.reset();
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
    EXPECT_EQ(openMciDevices(), 0);
}

// The contract of every media layer (tests/media/media_layer_contract.cpp), over MCI.
class MciUnderTest final : public tb::test::LayerUnderTest {
public:
    ~MciUnderTest() override {
        layer_.reset();
        EXPECT_TRUE(tb::Worker::waitForAll(10s));
    }
    tb::MediaLayer& layer() override { return *layer_; }
    std::size_t openDevices() const override { return layer_->openDevices(); }
    std::string bell(const std::string& name, int milliseconds) override {
        writeWav(dir_ / name, milliseconds);
        return nameIn(name);
    }
    // The layer may hold the file open without sharing: replaced from outside Windows.
    void replace(const std::string& file, int milliseconds) override {
        writeWav(dir_ / "replacement.wav", milliseconds, 880.0);
        EXPECT_TRUE(replaceFromOutside(std::filesystem::u8path(file), dir_ / "replacement.wav"))
            << "Wine could not run /bin/mv";
    }
    std::string noise(const std::string& name) override {
        dir_.write(name, std::string(4096, '\x5A'));
        return nameIn(name);
    }
    std::string nameIn(const std::string& name) override { return utf8(dir_ / name); }
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        return ::pumpUntil(done, limit);
    }

private:
    tb::test::TempDir dir_;
    tb::WindowPoster poster_;
    std::unique_ptr<tb::MciMediaLayer> layer_ = std::make_unique<tb::MciMediaLayer>(poster_);
};

INSTANTIATE_TEST_SUITE_P(Mci, MediaLayerContract,
                         ::testing::Values(tb::test::LayerFactory{"MCI", [] { return std::make_unique<MciUnderTest>(); }}),
                         tb::test::layerName);

// Every open takes 1.5 s on its worker, where the caller waits 1 s: a file on a slow
// share, or scanned for viruses on a busy machine.
TEST(MciLayerAhead, SlowOpenStartedAheadIsTakenAtTheSecondAndRings) {
    tb::test::TempDir dir;
    writeWav(dir / "bell.wav", 300);
    const std::string bell = utf8(dir / "bell.wav");
    tb::WindowPoster poster;
    auto layer = std::make_unique<tb::MciMediaLayer>(poster, tb::MciMediaLayer::Options{1000ms, 1500ms});
    tb::MciParams late;
    late.element = bell;
    EXPECT_EQ(layer->sendCommand(0, Command::Open, mci::OPEN_ELEMENT | mci::WAIT, late),
              tb::MciMediaLayer::kTimedOut) << "opened at its second only";
    layer->prepare(bell);
    pumpUntil([] { return false; }, 1000ms);  // the bell is due
    tb::MciParams open;
    open.element = bell;
    ASSERT_EQ(layer->sendCommand(0, Command::Open, mci::OPEN_ELEMENT | mci::WAIT, open), 0u) << "opened ahead";
    auto notices = std::make_shared<Notices>();
    tb::MciParams play, close;
    play.callback = notices;
    ASSERT_EQ(layer->sendCommand(open.deviceId, Command::Play, mci::NOTIFY, play), 0u);
    ASSERT_TRUE(pumpUntil([&] { return !notices->got.empty(); }, 10s)) << "it did not play to its end";
    EXPECT_EQ(notices->got[0], (std::pair<std::uint32_t, std::uint16_t>{mci::NOTIFY_SUCCESSFUL, open.deviceId}));
    EXPECT_EQ(layer->sendCommand(open.deviceId, Command::Close, mci::WAIT, close), 0u);
    layer.reset();
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
    EXPECT_EQ(openMciDevices(), 0);
}

// A schedule's "\\?\" and share paths are opened as written (MCI is given the plain
// form it parses), and a failure names them as written.
TEST_F(MciLayer, ExtendedAndSharePathsOpenAndAreNamedAsWritten) {
    writeWav(dir / "bell.wav", 300);
    std::uint32_t error = 0;
    const std::uint16_t id = open(L"\\\\?\\" + (dir / "bell.wav").wstring(), &error);
    EXPECT_EQ(error, 0u) << layer.errorText(error).value_or("?");
    tb::MciParams close;
    if (id != 0) send(id, Command::Close, mci::WAIT, close);
    for (const std::wstring gone : {L"\\\\nohost\\share\\bell.wav", L"\\\\?\\UNC\\nohost\\share\\bell.wav"}) {
        EXPECT_EQ(open(gone, &error), 0);
        const std::string text = layer.errorText(error).value_or("?");
        EXPECT_TRUE(text.ends_with(": " + utf8(gone))) << text;
    }
}

// MCI takes no path of 260 characters or more. Such a file rings by its short (8.3)
// name; where even that is too long (or where the disk keeps no short names), the box
// says so and names the file as it was given.
TEST_F(MciLayer, PathLongerThanMaxPathRingsByItsShortNameOrSaysWhy) {
    const struct {
        const char* what;
        std::wstring folder;  // repeated until the path is long enough
        bool rings;
    } cases[] = {
        {"long folder names", L"a folder name of thirty chars", true},
        {"names as short as they get", L"abcdefgh", false},
    };
    for (const auto& c : cases) {
        std::wstring path = (dir / "").wstring();
        path.pop_back();
        while (path.size() < 300) {
            path += L"\\" + c.folder;
            ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + path).c_str(), nullptr)) << c.what;
        }
        path += L"\\bell.wav";
        writeWav(L"\\\\?\\" + path, 300);
        const std::filesystem::path file(path);
        std::uint32_t error = 0;
        const std::uint16_t id = open(file, &error);
        if (!c.rings) {
            EXPECT_EQ(error, tb::MciMediaLayer::kPathTooLong) << c.what;
            EXPECT_EQ(layer.errorText(error),
                      "The file's path is longer than 260 characters, the most that the media player can open, and "
                      "the disk has no short name for it: " + utf8(file));
            continue;
        }
        // Wine makes a short name for every file; a Windows volume may keep none.
        ASSERT_EQ(error, 0u) << c.what << ": " << layer.errorText(error).value_or("?");
        auto notices = std::make_shared<Notices>();
        tb::MciParams play, close;
        play.callback = notices;
        ASSERT_EQ(send(id, Command::Play, mci::NOTIFY, play), 0u);
        EXPECT_TRUE(pumpUntil([&] { return !notices->got.empty(); }, 10s)) << c.what << " did not play to its end";
        send(id, Command::Close, mci::WAIT, close);
    }
    EXPECT_TRUE(tb::Worker::waitForAll(10s));
    std::error_code ignored;
    std::filesystem::remove_all(L"\\\\?\\" + dir.path().wstring(), ignored);
}

// Records what the sound server plays, through Wine's default capture device (the
// null sink's monitor, which scripts/test-windows.sh makes the default source).
class Recording final {
public:
    static constexpr int kRate = 22050;
    explicit Recording(int milliseconds) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = 1;
        format.nSamplesPerSec = kRate;
        format.wBitsPerSample = 16;
        format.nBlockAlign = 2;
        format.nAvgBytesPerSec = kRate * 2;
        samples_.resize(static_cast<std::size_t>(kRate) * milliseconds / 1000);
        header_.lpData = reinterpret_cast<LPSTR>(samples_.data());
        header_.dwBufferLength = static_cast<DWORD>(samples_.size() * 2);
        done_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
        result_ = ::waveInOpen(&in_, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done_), 0, CALLBACK_EVENT);
        if (result_ != MMSYSERR_NOERROR) return;
        ::waveInPrepareHeader(in_, &header_, sizeof header_);
        ::waveInAddBuffer(in_, &header_, sizeof header_);
        result_ = ::waveInStart(in_);
    }
    ~Recording() {
        if (in_ != nullptr) {
            ::waveInReset(in_);
            ::waveInUnprepareHeader(in_, &header_, sizeof header_);
            ::waveInClose(in_);
        }
        ::CloseHandle(done_);
    }
    MMRESULT result() const { return result_; }
    // Waits until the buffer is full; the samples recorded.
    const std::vector<std::int16_t>& wait() {
        const auto end = std::chrono::steady_clock::now() + 30s;
        while (!(header_.dwFlags & WHDR_DONE) && std::chrono::steady_clock::now() < end) ::Sleep(20);
        samples_.resize(header_.dwBytesRecorded / 2);
        return samples_;
    }

private:
    HWAVEIN in_ = nullptr;
    HANDLE done_ = nullptr;
    WAVEHDR header_{};
    std::vector<std::int16_t> samples_;
    MMRESULT result_ = MMSYSERR_ERROR;
};

// Strength of one frequency in a window of the samples (Goertzel), of full scale.
double toneLevel(const std::vector<std::int16_t>& s, std::size_t from, std::size_t count, double frequency) {
    const double w = 2 * 3.14159265358979 * frequency / Recording::kRate;
    double a = 0, b = 0;
    for (std::size_t i = from; i < from + count && i < s.size(); ++i) {
        const double x = s[i] / 32768.0;
        const double c = x + 2 * std::cos(w) * a - b;
        b = a;
        a = c;
    }
    const double power = a * a + b * b - 2 * std::cos(w) * a * b;
    return 2 * std::sqrt(power) / static_cast<double>(count);
}

struct SoundCase {
    const char* name;
    std::filesystem::path file;
    double level;  // of the tone at the least, of full scale
};

// A bell is heard: WAV (waveaudio), MP3 and MIDI (mpegvideo) reach the sound server. Under
// Wine, MP3 goes through DirectShow over the host's GStreamer.
TEST_F(MciLayer, WavMp3AndMidiAreHeardAtTheSoundServer) {
    const char* mp3 = std::getenv("TOLLBROOK_TEST_MP3");  // a 3 s tone of 880 Hz
    writeWav(dir / "tone.wav", 3000, 880.0);
    std::vector<SoundCase> cases{{"wav", dir / "tone.wav", 0.2}};
    if (mp3 != nullptr && *mp3 != '\0') {
        cases.push_back({"mp3", std::filesystem::u8path(mp3), 0.2});
    } else {
        ADD_FAILURE() << "TOLLBROOK_TEST_MP3 is not set (scripts/test-windows.sh makes the file)";
    }
    // Without a MIDI output device (none in this sandbox) Wine's sequencer plays
    // silently for ever; the test prefix maps .mid to MPEGVideo, which decodes it with
    // the host's GStreamer. Real Windows plays MIDI with its sequencer.
    std::printf("MIDI: played through MPEGVideo, as this Wine prefix maps it; real Windows uses its sequencer\n");
    writeMidi(dir / "tone.mid", 3000, 81);  // A5, 880 Hz
    cases.push_back({"mid", dir / "tone.mid", 0.002});  // a soft piano note of the soundfont
    for (const auto& c : cases) {
        Recording recording(2500);
        ASSERT_EQ(recording.result(), static_cast<MMRESULT>(MMSYSERR_NOERROR)) << "no capture device";
        const std::uint16_t id = open(c.file);
        ASSERT_NE(id, 0) << c.name;
        tb::MciParams play, close;
        ASSERT_EQ(send(id, Command::Play, 0, play), 0u) << c.name;
        const auto& samples = recording.wait();
        send(id, Command::Close, mci::WAIT, close);
        ASSERT_GT(samples.size(), static_cast<std::size_t>(Recording::kRate)) << c.name;
        // The last second of the recording lies inside the tone.
        const std::size_t window = Recording::kRate / 2;
        double best = 0;
        for (std::size_t from = 0; from + window <= samples.size(); from += window / 2)
            best = std::max(best, toneLevel(samples, from, window, 880.0));
        double peak = 0;
        for (const auto v : samples) peak = std::max(peak, std::abs(v / 32768.0));
        std::printf("%s: 880 Hz at %.3f of full scale, peak %.3f\n", c.name, best, peak);
        EXPECT_GT(best, c.level) << c.name << " was not heard";
    }
}

struct Usage {
    DWORD handles = 0;       // GetProcessHandleCount (0 under Wine, which does not count)
    std::uintptr_t slot = 0; // the lowest free handle slot: it climbs when handles leak
    std::size_t privateBytes = 0;
};
Usage usage() {
    Usage u;
    ::GetProcessHandleCount(::GetCurrentProcess(), &u.handles);
    const HANDLE probe = ::CreateEventW(nullptr, FALSE, FALSE, nullptr);
    u.slot = reinterpret_cast<std::uintptr_t>(probe);
    ::CloseHandle(probe);
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    // Wine leaves PrivateUsage at 0; its PagefileUsage is the process's private memory.
    u.privateBytes = counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
    return u;
}

// Months of bells: nothing may stay behind per bell.
TEST_F(MciLayer, HundredsOfBellsLeaveNoHandlesAndNoMemoryBehind) {
    writeWav(dir / "short.wav", 100);
    auto ring = [&] {
        std::uint32_t error = 0;
        const std::uint16_t id = open(dir / "short.wav", &error);
        ASSERT_NE(id, 0) << error << " " << layer.errorText(error).value_or("?");
        tb::MciParams play, close;
        auto notices = std::make_shared<Notices>();
        play.callback = notices;
        EXPECT_EQ(send(id, Command::Play, mci::NOTIFY, play), 0u);
        pumpUntil([&] { return !notices->got.empty(); }, 50ms);
        EXPECT_EQ(send(id, Command::Close, mci::WAIT, close), 0u);
    };
    for (int i = 0; i < 20; ++i) ring();  // the first bells load MCI's drivers
    ASSERT_TRUE(tb::Worker::waitForAll(20s));
    pumpUntil([] { return false; }, 200ms);
    const Usage before = usage();
    const int bells = 300;
    for (int i = 0; i < bells; ++i) ring();
    ASSERT_TRUE(tb::Worker::waitForAll(30s));
    pumpUntil([] { return false; }, 200ms);
    const Usage after = usage();
    std::printf("%d bells: handles %lu -> %lu, lowest free handle 0x%zx -> 0x%zx, private bytes %zu -> %zu\n", bells,
                before.handles, after.handles, static_cast<std::size_t>(before.slot),
                static_cast<std::size_t>(after.slot), before.privateBytes, after.privateBytes);
    EXPECT_LE(after.handles, before.handles + 10);
    EXPECT_LE(after.slot, before.slot + 10 * 4);
    EXPECT_LE(after.privateBytes, before.privateBytes + 8 * 1024 * 1024);
    EXPECT_EQ(layer.openDevices(), 0u);
}

// The slider's value goes to waveform output device 0 as it is.
TEST(WaveOutVolume, SetsDeviceZeroToTheSlidersValue) {
    tb::WaveOutVolume volume;
    volume.setVolume(tb::volumeForSlider(255));
    const std::uint32_t result = volume.lastResult();
    if (result == MMSYSERR_NOERROR) {
        DWORD level = 0;
        ASSERT_EQ(::waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)), &level), MMSYSERR_NOERROR);
        EXPECT_EQ(level, 0xFF00FF00u);
        volume.setVolume(tb::volumeForSlider(0));
        ::waveOutGetVolume(reinterpret_cast<HWAVEOUT>(static_cast<UINT_PTR>(0)), &level);
        EXPECT_EQ(level, 0u);
    } else {
        EXPECT_EQ(result, static_cast<std::uint32_t>(MMSYSERR_INVALHANDLE));
        std::printf("waveOutSetVolume(0, 0xFF00FF00) answered %u (MMSYSERR_INVALHANDLE): Wine keeps no level for "
                    "device 0, so the level cannot be verified here\n", result);
    }
}

// Calls posted from other threads run on the poster's thread, each thread's in order.
TEST(WindowPoster, CallsFromOtherThreadsRunOnItsThreadInOrder) {
    tb::WindowPoster poster;
    const DWORD self = ::GetCurrentThreadId();
    constexpr int kThreads = 4, kCalls = 500;
    std::vector<std::vector<int>> seen(kThreads);
    int wrongThread = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kCalls; ++i) {
                poster.post([&, t, i] {
                    if (::GetCurrentThreadId() != self) ++wrongThread;
                    seen[t].push_back(i);
                });
            }
        });
    }
    for (auto& t : threads) t.join();
    ASSERT_TRUE(pumpUntil([&] {
        std::size_t n = 0;
        for (const auto& s : seen) n += s.size();
        return n == kThreads * kCalls;
    }, 10s));
    EXPECT_EQ(wrongThread, 0);
    for (const auto& s : seen) {
        EXPECT_TRUE(std::is_sorted(s.begin(), s.end()));
        EXPECT_EQ(s.size(), static_cast<std::size_t>(kCalls));
    }
}

// A posted call that fails is reported in the error box; the calls after it still run.
TEST(WindowPoster, FailingCallIsReportedAndTheNextStillRuns) {
    struct Errors final : tb::DialogService {
        void errorBox(tb::OpenErrorBox& box, const std::string&) override { shown.push_back(box.text()); }
        bool askYesNo(const std::string&, const std::string&) override { return false; }
        void askOk(const std::string&, const std::string&) override {}
        std::optional<std::string> openFile(const tb::TOpenDialog&) override { return std::nullopt; }
        void message(const std::string&, const std::string&) override {}
        bool confirm(const std::string&, const std::string&) override { return false; }
        std::vector<std::string> shown;
    } errors;
    tb::DialogService* previous = tb::setDialogs(&errors);
    tb::WindowPoster poster;
    bool after = false;
    poster.post([] { throw std::runtime_error("Notice failed"); });
    poster.post([&] { after = true; });
    EXPECT_TRUE(pumpUntil([&] { return after; }, 10s));
    EXPECT_EQ(errors.shown, std::vector<std::string>{"Notice failed."});
    tb::setDialogs(previous);
}

}  // namespace
