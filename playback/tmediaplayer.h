#pragma once

#include "playback/core/media_player_device.h"

#include <QWidget>

namespace tb {

// The media player control: a window control over one device of the media layer.
// The device operations come from MediaPlayerDevice; this class places the control
// in a window and keeps the button sets that the bar shows.
class TMediaPlayer final : public QWidget, public MediaPlayerDevice {
    Q_OBJECT

public:
    TMediaPlayer(MediaLayer& layer, QWidget* parent = nullptr);

    TButtonSet VisibleButtons() const { return FVisibleButtons; }
    void setVisibleButtons(TButtonSet buttons);
    TButtonSet EnabledButtons() const { return FEnabledButtons; }
    void setEnabledButtons(TButtonSet buttons);
    TButtonSet ColoredButtons() const { return FColoredButtons; }
    void setColoredButtons(TButtonSet buttons);
    void setAutoEnable(bool value);

    void RefreshAutoButtons() override;

private:
    TButtonSet FVisibleButtons = kAllButtons;
    TButtonSet FEnabledButtons = kAllButtons;
    TButtonSet FColoredButtons = kAllButtons;
};

}  // namespace tb
