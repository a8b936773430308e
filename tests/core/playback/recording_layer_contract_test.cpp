#include "tests/core/playback/recording_layer.h"
#include "tests/media/media_layer_contract.h"

namespace {

using tb::test::MediaLayerContract;

// The presenters' test double, playing on its own clock: it must keep the contract that
// the real layers keep, or the presenters' tests prove nothing.
class DoubleUnderTest final : public tb::test::LayerUnderTest {
public:
    DoubleUnderTest() { layer_.plays = true; }
    tb::MediaLayer& layer() override { return layer_; }
    std::size_t openDevices() const override { return layer_.devices.size(); }
    std::string bell(const std::string& name, int milliseconds) override {
        replace(nameIn(name), milliseconds);
        return nameIn(name);
    }
    void replace(const std::string& file, int milliseconds) override {
        layer_.lengths[file] = static_cast<std::uint32_t>(milliseconds);
    }
    std::string noise(const std::string& name) override { return bell(name, 0); }
    std::string nameIn(const std::string& name) override { return "/music/" + name; }
    // Each step of the double's clock is 10 ms.
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) override {
        for (auto left = limit.count(); !done(); left -= 10) {
            if (left <= 0) return false;
            layer_.advance(10);
        }
        return true;
    }

private:
    tb::test::RecordingLayer layer_;
};

INSTANTIATE_TEST_SUITE_P(Double, MediaLayerContract,
                         ::testing::Values(tb::test::LayerFactory{
                             "RecordingLayer", [] { return std::make_unique<DoubleUnderTest>(); }}),
                         tb::test::layerName);

}  // namespace
