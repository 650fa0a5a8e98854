#include "ThemeCheck.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <map>

#include "controls/ControlTypes.h"
#include "controls/MyStatic.h"
#include "controls/PictureLimits.h"
#include "framework/ComApartment.h"
#include "framework/Dpi.h"
#include "framework/DrivePath.h"
#include "framework/FileStatus.h"
#include "framework/GdiObject.h"
#include "theme/ControlLine.h"
#include "theme/ControlTable.h"
#include "theme/ImageWindow.h"
#include "controls/PictureFile.h"
#include "theme/ThemeFile.h"
#include "theme/WindowSettings.h"

namespace {
// Identifiers whose only use is a click: past window identifier 3030 they do nothing.
constexpr const char* kClickIdentifiers[] = {
    "IDC_NEXT", "IDC_BACK", "IDCANCEL", "IDC_FINISH", "IDC_BROWSE", "IDC_ACCEPTLICENSE", "IDC_NOTACCEPTLICENSE",
    "IDC_ANYONE", "IDC_ONLYFORME", "IDYES", "IDNO", "IDRETRY", "IDIGNORE"};
// Pictures are judged for a screen of this DPI: scaled up more than 1.5 times there, they look soft.
constexpr int kHintDpi = 192;
// Identifiers the engine looks up by name: only the first control carrying one is found.
constexpr const char* kFixedIdentifiers[] = {
    "IDC_NEXT", "IDC_BACK", "IDCANCEL", "IDC_FINISH", "IDC_BROWSE", "IDC_INSTALLDIR", "IDC_ACCEPTLICENSE",
    "IDC_NOTACCEPTLICENSE", "IDC_ANYONE", "IDC_ONLYFORME", "IDC_PROGRESS1", "IDC_INFO", "IDC_STATIC1",
    "IDC_SETTINGS", "IDYES", "IDNO", "IDRETRY", "IDIGNORE"};

template <size_t N>
bool IsOneOf(const std::string& text, const char* const (&words)[N]) {
    return std::any_of(std::begin(words), std::end(words), [&text](const char* word) { return text == word; });
}

std::string Trimmed(const std::string& text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Blanks around an optional sign and digits, nothing else.
bool IsWholeNumber(const std::string& text) {
    std::string number = Trimmed(text);
    if (!number.empty() && (number[0] == '+' || number[0] == '-')) number.erase(0, 1);
    return !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Three numbers of 0 to 255 at the commas; "" and "COLOR_BTNFACE" are the button face.
bool IsColor(const std::string& text) {
    if (text.empty() || text == "COLOR_BTNFACE") return true;
    if (std::count(text.begin(), text.end(), ',') != 2) return false;
    size_t start = 0;
    for (int piece = 0; piece < 3; ++piece) {
        const size_t comma = text.find(',', start);
        const std::string number = Trimmed(text.substr(start, comma - start));
        if (number.empty() || number.size() > 3 ||
            !std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; }) ||
            std::stoi(number) > 255)
            return false;
        start = comma + 1;
    }
    return true;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool IsRelative(const std::string& path) {
    return !StartsWithDrive(path) && !(path.size() > 1 && path[0] == '\\' && path[1] == '\\');
}

// A control the page creates, with what the table does not keep.
struct Placed {
    int infoKey = 0;
    int controlKey = 0;
    int rowsWritten = 0;  // the "%i,t" number as written
    std::vector<PropertyRow> rowsRead;
};

class Checker {
public:
    Checker(const std::string& folder, const std::string& fileName)
        : m_file(fileName), m_path(folder + fileName), m_folder(ThemeFile::FolderOf(m_path)) {}

    std::vector<ThemeProblem> Run() {
        if (!HasFileStatus(m_path)) {
            Report(kWindowOrder, "(file)", "no such theme file in " + m_folder);
        } else {
            CheckWindow();
            CheckLines();
            CheckControls();
        }
        std::stable_sort(m_found.begin(), m_found.end(),
                         [](const Found& a, const Found& b) { return a.order < b.order; });
        std::vector<ThemeProblem> problems;
        for (Found& found : m_found) problems.push_back(std::move(found.problem));
        return problems;
    }

private:
    static constexpr int kWindowOrder = -2;
    static constexpr int kTotalOrder = -1;

    struct Found {
        int order;  // the window's keys first, then by "INFO" key
        ThemeProblem problem;
    };

    void Report(int order, const std::string& key, const std::string& message, bool hint = false) {
        m_found.push_back({order, {m_file, key, message, hint}});
    }

    // The picture the page draws at 192 dpi from a file (a variant where the
    // theme has one) of `pixels`, at `drawn` pixels.
    void HintScaling(int order, const std::string& key, const PictureChoice& choice, SIZE pixels, SIZE drawn) {
        if (pixels.cx <= 0 || static_cast<long long>(drawn.cx) * 2 <= static_cast<long long>(pixels.cx) * 3) return;
        char factor[32];
        std::snprintf(factor, sizeof factor, "%.2g", static_cast<double>(drawn.cx) / pixels.cx);
        Report(order, key,
               "picture " + Quoted(choice.path) + " is scaled up " + factor + " times at 192 dpi and looks soft there; " +
                   "a copy made for that scaling beside it (name@2x.jpg for name.jpg) keeps it sharp",
               true);
    }

    void CheckColor(int order, const std::string& key, const std::string& value) {
        if (!IsColor(value))
            Report(order, key, "colour " + Quoted(value) + " is not three numbers of 0 to 255 (red,green,blue)");
    }

    // Measured as the page measures a picture before it decodes it; false for one
    // the page leaves out for its size, at 96 dpi or at 192 only.
    bool CheckPictureSize(int order, const std::string& key, const std::string& what, const PictureChoice& choice,
                          int dpi) {
        const PictureMeasure measure = MeasurePictureFile(choice.path, choice.percent, dpi);
        if (measure.fit != PictureFit::TooLarge) return true;
        const bool decodedFits = WithinPictureBudget(measure.decoded.cx, measure.decoded.cy);
        const SIZE size = decodedFits ? measure.drawn : measure.decoded;
        const std::string where = dpi == kDesignDpi ? "" : " at " + std::to_string(dpi) + " dpi";
        Report(order, key,
               what + " " + Quoted(choice.path) + " is " + std::to_string(size.cx) + " x " + std::to_string(size.cy) +
                   " pixels" + (decodedFits ? " as drawn" : "") + ": too large to be shown" + where +
                   " (at most 16384 pixels a side and 64 M pixels in all); the page leaves it out as a missing one");
        return false;
    }

    // A file the page decodes with the picture loader of its control.
    bool CheckControlPicture(int order, const std::string& key, const std::string& path, const char* what) {
        const std::string file = std::string(what) + " file";
        if (!HasFileStatus(path)) {
            std::string message = file + " " + Quoted(path) + " not found";
            if (IsRelative(path)) message += " (without braces a name is not looked for in the theme folder)";
            Report(order, key, message);
            return false;
        }
        if (!CheckPictureSize(order, key, file, {path, 100}, kDesignDpi)) return false;
        CMyStatic picture;
        picture.LoadPicture(path);
        if (!picture.PictureLoaded()) Report(order, key, file + " " + Quoted(path) + " cannot be decoded");
        return picture.PictureLoaded();
    }

    // Each copy beside a picture is what the page draws at some DPI: it must
    // load as the picture does (one too large is told where the page takes it).
    void CheckCopies(int order, const std::string& key, const std::string& what, const std::string& path,
                     bool background) {
        for (const PictureChoice& copy : PictureCopies(path)) {
            const PictureFit fit = MeasurePictureFile(copy.path, 100, kDesignDpi).fit;
            if (fit == PictureFit::TooLarge || (fit == PictureFit::Fits && Decodes(copy.path, background))) continue;
            Report(order, key, what + " " + Quoted(copy.path) + " cannot be decoded");
        }
    }

    // Decoded as the page decodes it: a background whole, a control's picture by its control.
    static bool Decodes(const std::string& path, bool background) {
        if (background) {
            int width = 0, height = 0;
            return BitmapHandle(LoadPictureFile(path, &width, &height)).Get() != nullptr;
        }
        CMyStatic picture;
        picture.LoadPicture(path);
        return picture.PictureLoaded();
    }

    // As the page places a picture control at 192 dpi.
    void CheckControlScaling(int order, const std::string& key, const ControlLine& parsed) {
        CheckCopies(order, key, "picture file", parsed.picturePath, false);
        const PictureChoice choice = ChoosePictureFile(parsed.picturePath, kHintDpi);
        if (!CheckPictureSize(order, key, "picture file", choice, kHintDpi)) return;
        CMyStatic picture;
        picture.LoadPicture(choice.path);
        const SIZE pixels = picture.PicturePixels();
        const SIZE design{::MulDiv(pixels.cx, 100, choice.percent), ::MulDiv(pixels.cy, 100, choice.percent)};
        const RECT drawn = ControlLine::Placed(*parsed.type, parsed.rect, design, kHintDpi);
        HintScaling(order, key, choice, pixels, {drawn.right - drawn.left, drawn.bottom - drawn.top});
    }

    // The window's properties as the page applies them, in the order of their numbers.
    void CheckWindow() {
        const WindowSettings settings = ReadWindowSettings(m_path);
        for (int number = 0; number < kWindowProperties; ++number) {
            const WindowKey& property = *FindWindowProperty(number);
            const std::string& value = settings.*(property.text);
            const std::string key = std::string("[MAINWINDOW]") + property.key;
            if (property.effect == WindowEffect::BackgroundColor) CheckColor(kWindowOrder, key, value);
            if (property.effect == WindowEffect::BackgroundImage && !value.empty()) CheckBackground(key, value);
        }
    }

    void CheckBackground(const std::string& key, const std::string& image) {
        const char* what = "background picture";
        if (!HasFileStatus(image)) {
            std::string message = std::string(what) + " " + Quoted(image) + " not found";
            if (IsRelative(image)) message += " (this key is not looked for in the theme folder: write a full path)";
            Report(kWindowOrder, key, message);
            return;
        }
        if (!CheckPictureSize(kWindowOrder, key, what, {image, 100}, kDesignDpi)) return;
        int width = 0, height = 0;
        BitmapHandle decoded(LoadPictureFile(image, &width, &height));
        if (!decoded) {
            Report(kWindowOrder, key, std::string(what) + " " + Quoted(image) + " cannot be decoded");
            return;
        }
        decoded.Reset();
        CheckCopies(kWindowOrder, key, what, image, true);
        // As the page brings it to its scaling before stretching it over the window.
        const PictureChoice choice = ChoosePictureFile(image, kHintDpi);
        // Stretched over the window, a background counts only as decoded.
        if (!CheckPictureSize(kWindowOrder, key, what, {choice.path, 100}, kDesignDpi)) return;
        decoded.Reset(LoadPictureFile(choice.path, &width, &height));
        const int designWidth = ::MulDiv(width, 100, choice.percent);
        HintScaling(kWindowOrder, key, choice, {width, height}, {ThemeFile::AtDpi(designWidth, kHintDpi), 0});
    }

    void CheckLines() {
        const std::string totalText = ThemeFile::ReadTotal(m_path);
        const int total = ThemeFile::Number(totalText);
        const bool beyondTable = total > ControlTable::kMaxControls;
        if (!totalText.empty() && !IsWholeNumber(totalText))
            Report(kTotalOrder, "[INFO]TOTAL", "TOTAL " + Quoted(totalText) + " is not a number");
        else if (total < 0 || beyondTable)
            Report(kTotalOrder, "[INFO]TOTAL",
                   "TOTAL " + Trimmed(totalText) + " is outside 0 to 69: " +
                       (beyondTable ? "a page holds at most 69 controls" : "the page has no controls"));
        std::array<int, static_cast<size_t>(ControlPool::Count)> poolCounts{};
        // Beyond what a page holds, only the lines there are: a missing one would add nothing.
        const std::vector<int> keys =
            beyondTable ? ThemeFile::ControlKeysPresent(m_path, total) : ThemeFile::ControlKeysInOrder(m_path, total);
        for (int k : keys) {
            const std::string key = "[INFO]" + std::to_string(k);
            // The page reads no further line once its table is full.
            if (m_table.Full()) {
                Report(k, key, std::string("more than 69 controls on the page: this one ") +
                                   (k == 0 ? "is" : "and those of lower keys are") + " left out");
                break;
            }
            const std::string line = ThemeFile::ReadValue(m_path, "INFO", std::to_string(k));
            const size_t fields = static_cast<size_t>(std::count(line.begin(), line.end(), ',')) + 1;
            if (fields > ThemeFile::kMaxFields)
                Report(k, key, std::to_string(fields) + " fields: only the first 20 are read");
            const ControlLine parsed = ControlLine::Parse(line, m_folder);
            if (parsed.type == nullptr) {
                ReportTypeWord(k, key, line, total);
                continue;
            }
            int& poolCount = poolCounts[static_cast<size_t>(parsed.type->pool)];
            if (poolCount >= kPoolSize) {
                const bool picture = parsed.type->pool == ControlPool::Pictures;
                Report(k, key, std::string("more than 15 ") + (picture ? "BITMAP and HOVER" : parsed.type->keyword) +
                                   " controls on the page: this one is left out");
                continue;
            }
            if (parsed.type->sizeRule == SizeRule::Picture && CheckControlPicture(k, key, parsed.picturePath, "picture"))
                CheckControlScaling(k, key, parsed);
            Place(k, parsed, poolCount++);
        }
    }

    void ReportTypeWord(int k, const std::string& key, const std::string& line, int total) {
        if (line.empty()) {
            Report(k, key, "no control line, although TOTAL is " + std::to_string(total));
            return;
        }
        const std::vector<std::string> fields = ThemeFile::SplitControlLine(line);
        const std::string word = fields.size() > 5 ? fields[5] : std::string();
        std::string upper = word;
        std::transform(upper.begin(), upper.end(), upper.begin(), [](unsigned char c) { return std::toupper(c); });
        if (word.empty()) {
            Report(k, key, "no type word: no control is created");
        } else if (upper != word && FindControlType(upper) != nullptr) {
            Report(k, key, "type word " + Quoted(word) + " is not upper case: no control is created (" + upper + ")");
        } else {
            Report(k, key, "unknown type word " + Quoted(word) + ": no control is created");
        }
    }

    // Enters the control as the page does: in front of the table, with its rows.
    void Place(int k, const ControlLine& parsed, int poolIndex) {
        Placed placed;
        placed.infoKey = k;
        placed.controlKey = parsed.controlKey;
        const int sequence = m_table.Count();
        m_table.Insert(NewControlRecord(parsed.type->keyword, parsed.rect, CImageWindow::kFirstWindowId + sequence,
                                        poolIndex, sequence, parsed.picturePath));
        ControlRecord& record = m_table[0];
        placed.rowsWritten = ReadControlRows(record, m_path, parsed.controlKey, m_folder);
        placed.rowsRead.assign(record.rows.begin(), record.rows.begin() + record.rowCount);
        if (placed.rowsWritten > ControlRecord::kMaxRows)
            Report(k, RowsKey(placed), std::to_string(placed.rowsWritten) + " rows: rows past the 20th are not read");
        m_placed[record.windowId] = std::move(placed);
    }

    std::string RowsKey(const Placed& placed) const { return "[DADOS]" + std::to_string(placed.controlKey) + ",t"; }
    std::string RowKey(const Placed& placed, int row) const {
        return "[DADOS]" + std::to_string(placed.controlKey) + "," + std::to_string(row);
    }

    // What the page makes of the table once every control is in it.
    void CheckControls() {
        std::map<std::string, int> firstWithIdentifier;
        for (int position = 0; position < m_table.Count(); ++position) {
            ControlRecord& record = m_table[position];
            const Placed& placed = m_placed[record.windowId];
            const ControlType& type = *FindControlType(record.type);
            const int k = placed.infoKey;
            const std::string key = "[INFO]" + std::to_string(k);
            if (placed.rowsRead.size() > static_cast<size_t>(ControlTable::kRowsKeptWhenMoved) && record.rowCount == 0)
                Report(k, RowsKey(placed),
                       std::to_string(placed.rowsRead.size()) +
                           " rows on a control that controls of lower INFO keys move down the table: it keeps none "
                           "(at most 15 are kept)");

            const bool renamed = TakeIdentifierFromRows(record, type);
            const std::string identifierKey = renamed ? RowKey(placed, 0) : key;

            const int action = m_table.FindClickAction(position);
            const bool clickable = IsOneOf(record.identifier, kClickIdentifiers);
            if (record.windowId > CImageWindow::kLastClickId && (clickable || action == 1 || action == 2)) {
                const std::string why = clickable ? record.identifier : "click action " + std::to_string(action);
                Report(k, key,
                       "window identifier " + std::to_string(record.windowId) + " is past 3030: the clicks of this "
                       "control (" + why + ") never arrive; give it a higher INFO key");
            }

            if (IsOneOf(record.identifier, kFixedIdentifiers)) {
                auto [first, added] = firstWithIdentifier.emplace(record.identifier, k);
                if (!added)
                    Report(k, identifierKey,
                           record.identifier + " is also the identifier of [INFO]" + std::to_string(first->second) +
                               ": only that control is found");
            }
            CheckRows(k, placed, type);
        }
    }

    void CheckRows(int k, const Placed& placed, const ControlType& type) {
        for (size_t r = 0; r < placed.rowsRead.size(); ++r) {
            const PropertyRow& row = placed.rowsRead[r];
            if ((row.name != "On Click" && row.name != "Mouse Click") || row.value.empty()) continue;
            const size_t dash = row.value.find('-');
            if (dash == std::string::npos)
                Report(k, RowKey(placed, static_cast<int>(r)),
                       row.name + " " + Quoted(row.value) + " has no \"-\": its action is 0 (write 1-Next)");
            else if (!IsWholeNumber(row.value.substr(0, dash)))
                Report(k, RowKey(placed, static_cast<int>(r)),
                       row.name + " action " + Quoted(row.value.substr(0, dash)) + " is not a number");
        }
        for (const LoadStep& step : type.loadSteps) {
            const std::string property(step.property);
            if (step.row >= static_cast<int>(placed.rowsRead.size())) continue;
            const std::string& value = placed.rowsRead[static_cast<size_t>(step.row)].value;
            const std::string key = RowKey(placed, step.row);
            if (property.find("Color") != std::string::npos) {
                // A picture's background "0 - ..." stands for the button face.
                if (!(type.kind == ControlKind::Bitmap && value.find("0 -") != std::string::npos))
                    CheckColor(k, key, value);
            } else if (property == "Icon File:" && value.compare(0, 3, "IDI") == 0) {
                if (CMyStatic::IconNumber(value) < 0)
                    Report(k, key, "unknown built-in icon " + Quoted(value) + ": no icon is shown");
            } else if (property == "Icon File:" && !value.empty()) {
                CheckControlPicture(k, key, value, "icon");
            }
        }
    }

    std::string m_file;
    std::string m_path;
    std::string m_folder;
    ControlTable m_table;
    std::map<int, Placed> m_placed;  // by window identifier
    std::vector<Found> m_found;
};
}  // namespace

std::vector<ThemeProblem> CheckTheme(const std::string& folder, const std::string& fileName) {
    ComApartment com;  // for the picture loader, for the time of a check
    return Checker(folder, fileName).Run();
}
