#include "media/gstreamer/gst_media_layer.h"
#include "tests/media/gstreamer/fixtures.h"
#include "tests/media/gstreamer/gst_support.h"
#include "tests/media/media_layer_contract.h"
#include "tests/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using tb::test::MediaLayerContract;

// The GStreamer layer, playing into a recording sink; notices are pumped by the test.
class GstUnderTest final : public tb::test::LayerUnderTest {
public:
    tb::MediaLayer& layer() override { return layer_; }
    std::size_t openDevices() const override { return layer_.openDevices(); }
    std::string bell(const std::string& name, int milliseconds) override {
        tb::test::writeWav(dir_ / name, tb::test::Tone{440, milliseconds, 0.5});
        return nameIn(name);
    }
    void replace(const std::string& file, int milliseconds) override {
        tb::test::writeWav(dir_ / "replacement.wav", tb::test::Tone{880, milliseconds, 0.5});
        std::filesystem::rename(dir_ / "replacement.wav", file);
    }
    std::string noise(const std::string& name) override {
        dir_.write(name, std::string(4096, '\x5A'));
        return nameIn(name);
    }
    std::string nameIn(const std::string& name) override { return (dir_ / name).string(); }
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        return poster_.pumpUntil(done, limit);
    }

private:
    tb::test::TempDir dir_;
    tb::test::ManualPoster poster_;
    tb::test::RecordingSink sink_;
    tb::GstMediaLayer layer_{poster_, tb::GstMediaLayer::Options{[this] { return sink_.make(); }, {}, 10000ms}};
};

INSTANTIATE_TEST_SUITE_P(Gst, MediaLayerContract,
                         ::testing::Values(tb::test::LayerFactory{
                             "GStreamer", [] { return std::make_unique<GstUnderTest>(); }}),
                         tb::test::layerName);

}  // namespace
