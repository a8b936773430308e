#pragma once

#include "core/playback/media_layer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

// What every media layer must do (core/playback/media_layer.h), one suite for all of
// them (media_layer_contract.cpp): each build instantiates it over its own layers,
// with a LayerUnderTest that gives the suite files and the user-interface thread.
//   INSTANTIATE_TEST_SUITE_P(Gst, MediaLayerContract, ::testing::Values(tb::test::LayerFactory{...}));
namespace tb::test {

class LayerUnderTest {
public:
    virtual ~LayerUnderTest() = default;
    virtual MediaLayer& layer() = 0;
    virtual std::size_t openDevices() const = 0;
    // A WAV file of a tone `milliseconds` long in the test's folder; its name in UTF-8.
    virtual std::string bell(const std::string& name, int milliseconds) = 0;
    // Puts a new tone of `milliseconds` in the place of `file`, as a colleague saving
    // over it would (the layer may hold it open).
    virtual void replace(const std::string& file, int milliseconds) = 0;
    // A file of that name that holds bytes, but no sound.
    virtual std::string noise(const std::string& name) = 0;
    // A name in the test's folder: `name` made into a path in UTF-8, no file made.
    virtual std::string nameIn(const std::string& name) = 0;
    // Runs what the layer posted to the user-interface thread (this thread) until
    // `done` holds or `limit` of the layer's time has passed; true when it holds.
    virtual bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) = 0;
    void pumpFor(std::chrono::milliseconds span) { pumpUntil([] { return false; }, span); }
};

struct LayerFactory {
    const char* name;
    std::function<std::unique_ptr<LayerUnderTest>()> make;
    friend void PrintTo(const LayerFactory& f, std::ostream* os) { *os << f.name; }
};

class MediaLayerContract : public ::testing::TestWithParam<LayerFactory> {};

inline std::string layerName(const ::testing::TestParamInfo<LayerFactory>& info) { return info.param.name; }

}  // namespace tb::test
