#pragma once

#include "core/playback/media_layer.h"
#include "core/presenters/editor_presenter.h"
#include "core/presenters/main_window_presenter.h"
#include "front-ends/win32/designed_window.h"
#include "front-ends/win32/fonts.h"
#include "front-ends/win32/window.h"

#include <memory>
#include <string>

namespace tb {

class PictureButtons;
class TMediaPlayer;

// The playlist editor as Windows draws it: its controls, laid out at the monitor's
// density, and their events forwarded to the presenter, which holds its rules. Shown
// modally; the main window reloads the schedule files when it has closed.
class TForm3 final : public Window, public EditorView, public EditorWindow {
public:
    // `services` as the presenter takes them; `media` plays the preview player.
    TForm3(EditorServices services, MediaLayer& media, HWND owner);
    ~TForm3() override;

    // The opening step; the caller runs it inside the handler wrapper.
    void FormCreate() override;
    void setCaption(const std::string& text) override;
    void setLabel1(const std::string& text) override;
    // Centred on its owner, modal; returns when the window has closed.
    void ShowModal() override;

    // Handlers; each runs inside the handler wrapper when its event comes.
    void Button2Click() { presenter_->Button2Click(); }  // Add
    void Button4Click() { presenter_->Button4Click(); }  // Insert
    void Button7Click() { presenter_->Button7Click(); }  // Update
    void Button1Click() { presenter_->Button1Click(); }  // Delete
    void Button3Click() { presenter_->Button3Click(); }  // Save
    void Button5Click();                                 // Close: asks first, as every close does
    void Button6Click() { presenter_->Button6Click(); }  // Play the selected row
    void ListBox1DblClick() { presenter_->ListBox1DblClick(); }
    void ListBox1EnterPressed() { presenter_->ListBox1EnterPressed(); }
    void SpeedButton1Click() { presenter_->SpeedButton1Click(); }  // find a music file
    void SpeedButton2Click() { presenter_->SpeedButton2Click(); }  // preview the path box's file
    void DateTimePicker1Change() { presenter_->DateTimePicker1Change(); }

    // The controls, by their names in the window's design: what tests reach.
    struct Controls {
        HWND Label1 = nullptr, Label2 = nullptr, Label7 = nullptr, LabelAMPM = nullptr;
        HWND Edit1 = nullptr, SpeedButton1 = nullptr, SpeedButton2 = nullptr, DateTimePicker1 = nullptr;
        HWND ListBox1 = nullptr;
        HWND Button2 = nullptr, Button4 = nullptr, Button7 = nullptr, Button1 = nullptr, Button3 = nullptr,
             Button5 = nullptr, Button6 = nullptr;
        HWND GroupBox1 = nullptr, Memo1 = nullptr;
        TMediaPlayer* MediaPlayer1 = nullptr;
    };
    const Controls& controls() const { return c_; }

    // The design's density and the monitor's.
    const Scale& scale() const { return scale_; }

protected:
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // What the presenter shows.
    std::string pathBoxText() const override;
    void setPathBoxText(const std::string& text) override;
    TimeOfDay pickerTime() const override;
    void setPickerTime(const TimeOfDay& time) override;
    void setPickerToToday(const TimeOfDay& time) override;
    void setAmPmLabel(const std::string& text) override;
    void showLines(const std::vector<std::string>& lines, std::optional<std::size_t> selected) override;

    void buildLayout(MediaLayer& media);
    void setPicker(const SYSTEMTIME& time);
    // Every request to close: the close box, Alt+F4, Escape and "&Close".
    void closeRequested();
    void command(HWND from, int id, int code);
    LRESULT notify(const NMHDR& header);

    std::optional<LRESULT> controlMessage(HWND list, UINT message, WPARAM wParam, LPARAM lParam) override;

    HWND owner_;
    Scale scale_;
    Fonts fonts_;
    std::unique_ptr<TMediaPlayer> player_;
    std::unique_ptr<EditorPresenter> presenter_;
    std::unique_ptr<PictureButtons> pictureButtons_;
    std::unique_ptr<DesignedControls> made_;
    Controls c_;
    HWND lastFocus_ = nullptr;  // given back when the window is activated again
    bool settingPicker_ = false;
};

}  // namespace tb
