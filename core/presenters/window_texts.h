#pragma once

// The fixed texts of the program's windows that every front end shows alike: the
// editor's help, the about window's description and the purchase window's note and web
// address. UTF-8.
namespace tb::window_texts {

// The tooltip of the program's icon in the notification area.
inline constexpr const char* kTrayIconHint = "TollbrookV1.01";

// The editor's help, one line of its memo each, blanks at line ends included.
inline constexpr const char* kEditorHelp =
    "Please enter or select the full name of \n"
    "the music file that you want to play at \n"
    "the \n"
    "above text box, and press the Add \n"
    "button after selecting the play time.\n"
    "\n"
    "Note: only click save button,The \n"
    "change will come into effect!";

// The about window's description: three paragraphs, an empty line between them.
inline constexpr const char* kAboutDescription =
    "Tollbrook plays multimedia files on a campus automatically, at the times set for "
    "them. It handles the common formats: MP3, MP2, WAV, MID and MIDI.\n"
    "\n"
    "A boarding school rings many bells a day, for rising, meals, morning study, "
    "classes and eye exercises, and runs a campus radio besides. Rung by hand, bells "
    "come late or early, always with the same monotonous signal, and take up staff "
    "time. With Tollbrook nobody has to ring a bell, the times are exact, and each "
    "period can be marked with pleasant, meaningful music, which makes campus life "
    "more refined and more automated.\n"
    "\n"
    "The program plays the chosen music files on time, lets you manage and edit the "
    "schedule, and is easy to learn and use.";

// The purchase window's two-line note and the page its button opens.
inline constexpr const char* kPurchaseNote =
    "The source code of this program can be bought.\n"
    "Use the button below to go to its purchase page.";
inline constexpr const char* kPurchaseAddress = "https://www.example.com/tollbrook/source-code";

}  // namespace tb::window_texts
