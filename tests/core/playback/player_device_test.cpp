#include "core/playback/media_player_device.h"
#include "tests/core/playback/recording_layer.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace tb;
using namespace tb::mci;
using tb::test::RecordingLayer;
using tb::test::Sent;

namespace {

class PlayerDevice : public ::testing::Test {
protected:
    void open(const std::string& file = "/m/a.wav") {
        player.setFileName(file);
        player.Open();
        layer.sent.clear();
    }
    RecordingLayer layer;
    MediaPlayerDevice player{layer};
};

TEST_F(PlayerDevice, OpenSendsElementWithWaitAndQueriesTheDevice) {
    player.setFileName("/m/a.wav");
    player.Open();
    ASSERT_FALSE(layer.sent.empty());
    const Sent& o = layer.sent.front();
    EXPECT_EQ(o.device, 0);
    EXPECT_EQ(o.command, Command::Open);
    EXPECT_EQ(o.flags, WAIT | OPEN_ELEMENT);
    EXPECT_EQ(o.params.element, "/m/a.wav");
    EXPECT_EQ(o.params.deviceType, "");
    EXPECT_FALSE(o.params.callback.expired());
    EXPECT_EQ(player.DeviceID(), 7);
    EXPECT_EQ(player.Frames(), 500);
    EXPECT_EQ(layer.count(Command::GetDevCaps), 5);
    EXPECT_EQ(layer.sent.back().command, Command::Status);  // the mode, last
    EXPECT_EQ(layer.sent.back().params.item, STATUS_MODE);
    EXPECT_EQ(player.Error(), 0);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btPlay}));
}

TEST_F(PlayerDevice, OpenFlagsFollowTypeNameAndSharing) {
    player.setDeviceType(dtWaveAudio);
    player.setShareable(true);
    player.setFileName("/m/a.wav");
    player.Open();
    EXPECT_EQ(layer.sent.front().flags, WAIT | OPEN_TYPE | OPEN_ELEMENT | OPEN_SHAREABLE);
    EXPECT_EQ(layer.sent.front().params.deviceType, "WaveAudio");
    player.Close();
    layer.sent.clear();
    player.setDeviceType(dtAutoSelect);
    player.setShareable(false);
    player.setFileName("");
    player.Open();
    EXPECT_EQ(layer.sent.front().flags, WAIT | OPEN_ELEMENT);
    EXPECT_EQ(layer.sent.front().params.element, "");
}

TEST_F(PlayerDevice, RefusedOpenRaisesTheLayerTextAndOpensNothing) {
    layer.openResult = 275;
    player.setFileName("/gone.mp3");
    try {
        player.Open();
        FAIL();
    } catch (const EMCIDeviceError& e) {
        EXPECT_STREQ(e.what(), "The file cannot be found");
    }
    EXPECT_EQ(player.Error(), 275);
    EXPECT_EQ(player.DeviceID(), 0);
    EXPECT_EQ(player.FileName(), "/gone.mp3");
    layer.openResult = 999;
    try {
        player.Open();
        FAIL();
    } catch (const EMCIDeviceError& e) {
        EXPECT_STREQ(e.what(), "Unknown error code");
    }
    layer.sent.clear();
    EXPECT_NE(player.Mode(), mpPlaying);
    player.Close();
    EXPECT_EQ(layer.count(Command::Close), 0);
}

TEST_F(PlayerDevice, OperationsWithoutDeviceRaiseAndSendNothing) {
    const std::vector<std::function<void()>> operations = {
        [&] { player.Play(); },          [&] { player.Stop(); },      [&] { player.Pause(); },
        [&] { player.PauseOnly(); },     [&] { player.Resume(); },    [&] { player.Next(); },
        [&] { player.Previous(); },      [&] { player.Step(); },      [&] { player.Back(); },
        [&] { player.StartRecording(); }, [&] { player.Eject(); },    [&] { player.Save(); },
        [&] { player.Rewind(); },        [&] { player.setPosition(5); }, [&] { (void)player.Length(); },
        [&] { (void)player.Start(); },   [&] { (void)player.Tracks(); }, [&] { (void)player.TimeFormat(); }};
    for (std::size_t i = 0; i < operations.size(); ++i) {
        try {
            operations[i]();
            ADD_FAILURE() << "operation " << i << " did not raise";
        } catch (const EMCIDeviceError& e) {
            EXPECT_STREQ(e.what(), "No MCI device open") << i;
        }
    }
    EXPECT_TRUE(layer.sent.empty());
}

TEST_F(PlayerDevice, CloseSendsOnceAndKeepsFileName) {
    open();
    player.setWait(false);
    player.Close();
    player.Close();
    EXPECT_EQ(layer.count(Command::Close), 1);
    EXPECT_EQ(layer.last(Command::Close).flags, 0u);
    EXPECT_EQ(player.DeviceID(), 0);
    EXPECT_TRUE(player.FAutoButtons.empty());
    EXPECT_EQ(player.FileName(), "/m/a.wav");
}

TEST_F(PlayerDevice, RefusedCloseKeepsTheDeviceOpen) {
    open();
    layer.results[Command::Close] = 300;
    player.Close();
    EXPECT_EQ(player.DeviceID(), 7);
    EXPECT_EQ(player.Error(), 300);
    EXPECT_NO_THROW(player.Stop());
}

TEST_F(PlayerDevice, OneShotWaitAndNotifyApplyToTheNextRequestOnly) {
    open();
    player.setWait(false);
    player.Stop();
    player.Stop();
    player.setNotify(false);
    player.Play();
    player.Play();
    player.setNotify(true);
    player.Stop();
    player.setWait(true);
    player.Play();
    const auto a = layer.actions();
    ASSERT_EQ(a.size(), 6u);
    EXPECT_EQ(a[0].flags, 0u);
    EXPECT_EQ(a[1].flags, WAIT);
    EXPECT_EQ(a[2].flags, 0u);
    EXPECT_EQ(a[3].flags, NOTIFY);
    EXPECT_EQ(a[4].flags, WAIT | NOTIFY);
    EXPECT_EQ(a[5].flags, NOTIFY | WAIT);
    EXPECT_TRUE(player.Wait());  // reads the last value written
}

TEST_F(PlayerDevice, PendingStartAndEndSuppressRewindAndAreConsumed) {
    open();
    layer.status[STATUS_POSITION] = 5000;  // at the end
    player.setStartPos(100);
    player.setEndPos(900);
    player.Play();
    EXPECT_EQ(layer.count(Command::Seek), 0);
    const Sent withRange = layer.last(Command::Play);
    EXPECT_EQ(withRange.flags, NOTIFY | FROM | TO);
    EXPECT_EQ(withRange.params.from, 100u);
    EXPECT_EQ(withRange.params.to, 900u);
    player.Play();  // at the end again: rewinds first, plays without range
    ASSERT_EQ(layer.count(Command::Seek), 1);
    EXPECT_EQ(layer.last(Command::Seek).flags, SEEK_TO_START | WAIT);
    EXPECT_EQ(layer.last(Command::Play).flags, NOTIFY);
    EXPECT_EQ(player.StartPos(), 100);
}

TEST_F(PlayerDevice, NoRewindWhenTurnedOff) {
    open();
    layer.status[STATUS_POSITION] = 5000;
    player.setAutoRewind(false);
    player.Play();
    EXPECT_EQ(layer.count(Command::Seek), 0);
    EXPECT_EQ(layer.count(Command::Play), 1);
}

TEST_F(PlayerDevice, RefusedPlayRaisesNothingAndKeepsTheCode) {
    open();
    layer.results[Command::Play] = 281;
    EXPECT_NO_THROW(player.Play());
    EXPECT_EQ(player.Error(), 281);
}

TEST_F(PlayerDevice, OpenOnOpenDeviceClosesItFirstConsumingOneShots) {
    open();
    player.setWait(false);
    player.Open();
    ASSERT_GE(layer.sent.size(), 2u);
    EXPECT_EQ(layer.sent[0].command, Command::Close);
    EXPECT_EQ(layer.sent[0].flags, 0u);
    EXPECT_EQ(layer.sent[1].command, Command::Open);
    EXPECT_EQ(layer.sent[1].flags, WAIT | OPEN_ELEMENT);
    EXPECT_EQ(player.DeviceID(), 8);
}

TEST_F(PlayerDevice, CapabilitiesAreThoseOfTheDeviceJustOpened) {
    layer.caps[GETDEVCAPS_DEVICE_TYPE] = DEVTYPE_DIGITAL_VIDEO;
    layer.caps[GETDEVCAPS_CAN_EJECT] = 0x100;  // only the low byte counts
    open();
    EXPECT_TRUE(player.Capabilities().contains(mpCanStep));
    EXPECT_FALSE(player.Capabilities().contains(mpCanEject));
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btStep, btBack, btPlay}));
    player.Close();
    layer.caps[GETDEVCAPS_DEVICE_TYPE] = DEVTYPE_SEQUENCER;
    layer.caps[GETDEVCAPS_CAN_RECORD] = 1;
    open();
    EXPECT_FALSE(player.Capabilities().contains(mpCanStep));
    EXPECT_TRUE(player.Capabilities().contains(mpCanRecord));
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btPlay, btRecord}));
}

TEST_F(PlayerDevice, OpenOfAPlayingDeviceAppliesThePlayPressRule) {
    layer.status[STATUS_MODE] = MODE_PLAY;
    open();
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btPause, btStop}));
}

TEST_F(PlayerDevice, NoticesSetNotifyValueAndFireOnNotify) {
    open();
    int fired = 0;
    player.OnNotify = [&](MediaPlayerDevice& sender) {
        EXPECT_EQ(&sender, &player);
        ++fired;
    };
    player.MMNotify(NOTIFY_ABORTED);
    EXPECT_EQ(player.NotifyValue(), nvAborted);
    player.MMNotify(3);  // no such code
    EXPECT_EQ(player.NotifyValue(), nvAborted);
    player.MMNotify(NOTIFY_SUPERSEDED);
    EXPECT_EQ(player.NotifyValue(), nvSuperseded);
    player.MMNotify(NOTIFY_FAILURE);
    EXPECT_EQ(player.NotifyValue(), nvFailure);
    player.MMNotify(NOTIFY_SUCCESSFUL);
    EXPECT_EQ(player.NotifyValue(), nvSuccessful);
    EXPECT_EQ(fired, 5);
}

TEST_F(PlayerDevice, NoticeOnStoppedDeviceEnablesPlayAgain) {
    open();
    player.AdjustAutoButtons(btPlay);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btPause, btStop}));
    player.MMNotify(NOTIFY_SUCCESSFUL);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btNext, btPrev, btPlay}));
}

TEST_F(PlayerDevice, PressRuleTable) {
    open();
    player.FAutoButtons = {btPlay};
    player.AdjustAutoButtons(btPlay);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btPause, btStop}));
    player.AdjustAutoButtons(btPause);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btPlay, btPause, btStop}));
    player.AdjustAutoButtons(btStop);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btPlay}));
    player.FAutoButtons = {btPause, btStop};
    player.AdjustAutoButtons(btNext);
    EXPECT_EQ(player.FAutoButtons, (TButtonSet{btPlay}));
}

TEST_F(PlayerDevice, PauseTogglesByMode) {
    open();
    layer.status[STATUS_MODE] = MODE_PLAY;
    player.Pause();
    EXPECT_EQ(layer.actions().back().command, Command::Pause);
    EXPECT_EQ(layer.actions().back().flags, WAIT);
    layer.status[STATUS_MODE] = MODE_PAUSE;
    player.Pause();
    EXPECT_EQ(layer.actions().back().command, Command::Resume);
    EXPECT_EQ(layer.actions().back().flags, NOTIFY);
    layer.status[STATUS_MODE] = MODE_STOP;
    layer.sent.clear();
    player.Pause();
    EXPECT_TRUE(layer.actions().empty());
}

TEST_F(PlayerDevice, RefusedResumePlaysInstead) {
    open();
    layer.results[Command::Resume] = 300;
    player.setNotify(false);
    player.Resume();
    const auto a = layer.actions();
    ASSERT_EQ(a.size(), 2u);
    EXPECT_EQ(a[0].command, Command::Resume);
    EXPECT_EQ(a[0].flags, 0u);
    EXPECT_EQ(a[1].command, Command::Play);
    EXPECT_EQ(a[1].flags, 0u);  // the pending Notify reached the play as well
}

TEST_F(PlayerDevice, NextAndPreviousSeekToTheEnds) {
    open();
    player.Next();
    EXPECT_EQ(layer.last(Command::Seek).flags, WAIT | SEEK_TO_END);
    player.Previous();
    EXPECT_EQ(layer.last(Command::Seek).flags, WAIT | SEEK_TO_START);
    player.setPosition(1234);
    EXPECT_EQ(layer.last(Command::Seek).flags, WAIT | TO);
    EXPECT_EQ(layer.last(Command::Seek).params.to, 1234u);
}

TEST_F(PlayerDevice, TrackFormatNextRestartsPlayAtTheNextTrack) {
    player.setDeviceType(dtCDAudio);
    open();
    layer.status[STATUS_TIME_FORMAT] = FORMAT_TMSF;
    layer.status[STATUS_NUMBER_OF_TRACKS] = 3;
    layer.status[STATUS_POSITION] = 0x00050302;  // track 2, 3 min 5 s
    layer.trackStarts = {{1, 0x01}, {2, 0x02}, {3, 0x03}};
    layer.status[STATUS_MODE] = MODE_PLAY;
    player.Next();
    EXPECT_EQ(layer.last(Command::Play).flags, NOTIFY | FROM);
    EXPECT_EQ(layer.last(Command::Play).params.from, 0x03u);
    layer.status[STATUS_MODE] = MODE_STOP;
    player.Previous();  // not in the first second of track 2: to its start
    EXPECT_EQ(layer.last(Command::Seek).flags, WAIT | TO);
    EXPECT_EQ(layer.last(Command::Seek).params.to, 0x02u);
}

TEST_F(PlayerDevice, CdTypeOpenSetsTrackFormatAskingANotice) {
    player.setDeviceType(dtCDAudio);
    player.setFileName("");
    player.Open();
    const Sent& set = layer.last(Command::Set);
    EXPECT_EQ(set.flags, NOTIFY | SET_TIME_FORMAT);
    EXPECT_EQ(set.params.item, FORMAT_TMSF);
}

TEST_F(PlayerDevice, ModeMapsCodesAndFailures) {
    open();
    layer.status[STATUS_MODE] = MODE_OPEN;
    EXPECT_EQ(player.Mode(), mpOpen);
    layer.status[STATUS_MODE] = MODE_PAUSE;
    EXPECT_EQ(player.Mode(), mpPaused);
    player.Close();
    EXPECT_EQ(player.Mode(), mpNotReady);
}

TEST_F(PlayerDevice, StepNeedsVideoAndEjectNeedsTheCapability) {
    open();
    player.Step();
    player.Back();
    player.Eject();
    EXPECT_TRUE(layer.actions().empty());
    player.setFileName("");
    player.Save();
    EXPECT_TRUE(layer.actions().empty());
}

TEST(PlayerDeviceLifetime, DestructionSendsTheFinalCloseAndDropsLateNotices) {
    RecordingLayer layer;
    std::weak_ptr<NoticeReceiver> receiver;
    {
        MediaPlayerDevice player(layer);
        player.setFileName("/m/a.wav");
        player.Open();
        receiver = layer.sent.front().params.callback;
        player.setWait(false);
    }
    EXPECT_EQ(layer.sent.back().command, Command::Close);
    EXPECT_EQ(layer.sent.back().flags, WAIT);
    EXPECT_TRUE(receiver.expired());
}

TEST(Volume, SliderPositionsGiveBothChannels) {
    EXPECT_EQ(volumeForSlider(255), 0xFF00FF00u);
    EXPECT_EQ(volumeForSlider(1), 0x01000100u);
    EXPECT_EQ(volumeForSlider(0), 0u);
    EXPECT_EQ(volumeForSlider(128), 0x80008000u);
}

}  // namespace
