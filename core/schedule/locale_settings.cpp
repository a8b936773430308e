#include "core/schedule/locale_settings.h"

#include "core/util/utf8.h"

#include <cctype>
#include <vector>

namespace tb {
namespace {

// One piece of a strftime format: a directive such as "%-I" or a run of literal text.
struct Piece {
    bool directive = false;
    char conversion = 0;  // for a directive: its letter
    char flag = 0;        // '-', '_', '0', '^', '#' or 0
    std::string text;     // for literal text
};

std::string expand(const std::string& format, const std::string& ampmFormat, int depth = 0) {
    std::string out;
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] != '%' || i + 1 >= format.size()) {
            out += format[i];
            continue;
        }
        const char c = format[i + 1];
        if (c == 'r' && depth < 2) {
            out += expand(ampmFormat, ampmFormat, depth + 1);
        } else if (c == 'T') {
            out += "%H:%M:%S";
        } else if (c == 'R') {
            out += "%H:%M";
        } else if (c == 'D') {
            out += "%m/%d/%y";
        } else if (c == 'F') {
            out += "%Y-%m-%d";
        } else {
            out += '%';
            out += c;
        }
        ++i;
    }
    return out;
}

std::vector<Piece> tokenize(const std::string& format) {
    std::vector<Piece> pieces;
    std::size_t i = 0;
    while (i < format.size()) {
        if (format[i] == '%' && i + 1 < format.size()) {
            Piece p;
            p.directive = true;
            ++i;
            if (std::string_view("-_0^#").find(format[i]) != std::string_view::npos) {
                p.flag = format[i++];
            }
            while (i < format.size() && std::isdigit(static_cast<unsigned char>(format[i]))) ++i;
            if (i < format.size() && (format[i] == 'E' || format[i] == 'O')) ++i;
            if (i < format.size()) p.conversion = format[i++];
            pieces.push_back(p);
        } else {
            if (pieces.empty() || pieces.back().directive) pieces.push_back(Piece{});
            pieces.back().text += format[i++];
        }
    }
    return pieces;
}

bool isHour(const Piece& p) {
    return p.directive && (p.conversion == 'H' || p.conversion == 'I' || p.conversion == 'k' ||
                           p.conversion == 'l');
}

bool isMarker(const Piece& p) { return p.directive && (p.conversion == 'p' || p.conversion == 'P'); }

void readTimeFormat(const std::vector<Piece>& pieces, LocaleSettings& out) {
    std::size_t hour = pieces.size();
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (isHour(pieces[i])) {
            hour = i;
            break;
        }
    }
    if (hour == pieces.size()) {  // a format without an hour: keep the C locale's rules
        out.leadingZero = true;
        out.timeSeparator = std::string(1, ':');
        return;
    }
    const Piece& h = pieces[hour];
    out.twelveHour = h.conversion == 'I' || h.conversion == 'l';
    const bool padsWithZero = h.conversion == 'H' || h.conversion == 'I';
    out.leadingZero = h.flag == '0' || (padsWithZero && h.flag != '-' && h.flag != '_');

    out.markerBefore = false;
    if (out.twelveHour) {
        for (std::size_t i = 0; i < hour; ++i) {
            if (isMarker(pieces[i])) out.markerBefore = true;
        }
    }

    out.timeSeparator = std::string(1, ':');
    if (hour + 2 < pieces.size() && !pieces[hour + 1].directive && pieces[hour + 2].directive &&
        pieces[hour + 2].conversion == 'M') {
        const std::string& between = pieces[hour + 1].text;
        if (between.size() == 1) {
            const auto c = static_cast<unsigned char>(between[0]);
            if (std::ispunct(c) || c == ' ' || c == '\t') out.timeSeparator = between;
        }
    }
}

void readDateFormat(const std::vector<Piece>& pieces, LocaleSettings& out) {
    std::string order;
    std::string separator;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        const Piece& p = pieces[i];
        if (!p.directive) {
            if (order.size() == 1 && separator.empty()) separator = firstUtf8Character(p.text);
            continue;
        }
        char field = 0;
        switch (p.conversion) {
            case 'd': case 'e': field = 'd'; break;
            case 'm': case 'b': case 'B': case 'h': field = 'm'; break;
            case 'y': case 'Y': case 'C': field = 'y'; break;
            default: break;
        }
        if (field != 0 && order.find(field) == std::string::npos) order += field;
    }
    if (order.rfind("dm", 0) == 0) {
        out.dateOrder = DateOrder::DayMonthYear;
    } else if (order.rfind("y", 0) == 0) {
        out.dateOrder = DateOrder::YearMonthDay;
    } else {
        out.dateOrder = DateOrder::MonthDayYear;
    }
    out.dateSeparator = separator.empty() ? "/" : separator;
}

}  // namespace

LocaleSettings settingsFromFormats(const std::string& timeFormat, const std::string& ampmFormat,
                                   const std::string& dateFormat, const std::string& amString,
                                   const std::string& pmString, const std::string& decimalSeparator) {
    LocaleSettings s;
    readTimeFormat(tokenize(expand(timeFormat, ampmFormat)), s);
    readDateFormat(tokenize(expand(dateFormat, ampmFormat)), s);
    s.amString = amString;
    s.pmString = pmString;
    s.decimalSeparator = decimalSeparator.empty() ? "." : std::string(firstUtf8Character(decimalSeparator));
    return s;
}

}  // namespace tb
