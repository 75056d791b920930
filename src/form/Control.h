#pragma once
// The controls of the window as plain data. The window model keeps one
// Control per thing the rider sees: its kind, where it stands (in twips,
// relative to the control that holds it), its caption or text, whether it is
// enabled, and the state a list, check box, number box or slider holds. The
// desktop program makes one widget per Control and copies the state across
// after every operation; the tests read the same data directly.

#include <string>
#include <vector>

namespace vb {

enum class ControlKind {
    tabStrip,     ///< tabs: `items` are the tab captions, `value` the shown tab
    tabPage,      ///< the page of tab `value` of the tab strip `parent`
    frame,        ///< a captioned group box (`caption` may be empty)
    label,        ///< static text `caption`
    textBox,      ///< editable text `text` (at most `maxLength` characters when > 0)
    numberBox,    ///< editable number text `text`, with up-down arrows stepping within min..max by step
    button,       ///< push button `caption`
    checkBox,     ///< `caption`, `checked`
    optionButton, ///< radio button `caption`, `checked`; the options of one parent exclude each other
    listBox,      ///< `items`, `selected` (-1 for none)
    fileList,     ///< the files of folder `text` matching `pattern`, as `items`; `selected`
    slider,       ///< horizontal slider min..max, position `value`
    sampleGrid,   ///< the ride's SampleTable, shown as a grid
    profileArea,  ///< the route profile, drawn through a Canvas
    separator,    ///< a line: horizontal when height is 0, vertical when width is 0
    outline,      ///< an empty rectangle outline
};

enum class TextAlign { left, centre, right };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    bool operator==(const Rect&) const = default;
};

struct Control {
    std::string id;          ///< stable name, unique in the window
    ControlKind kind = ControlKind::label;
    std::string parent;      ///< id of the holding frame or tab page; "" for the window itself
    Rect rect;               ///< twips, relative to the parent's client area
    std::string caption;     ///< labels, buttons, frames, check and option boxes
    std::string text;        ///< text and number boxes; folder of a file list
    std::string pattern;     ///< file lists: "*.pgm", "*.ca", "*.caf"
    bool enabled = true;
    bool visible = true;
    bool checked = false;
    std::vector<std::string> items;
    int selected = -1;
    int min = 0;
    int max = 0;
    int step = 1;
    int value = 0;
    int maxLength = 0;       ///< 0: unlimited
    // Look
    TextAlign align = TextAlign::left;
    bool bold = false;
    int pointSize = 0;       ///< 0: the window's font
    bool multiLine = false;  ///< text boxes: several lines, read-only display text
    bool readOnly = false;
    bool fixedPitch = false; ///< lists in a fixed-pitch font
    bool faceColour = false; ///< drawn on the window's face colour
    bool icon = false;       ///< labels: the program's icon before the caption
};

}  // namespace vb
