#include "common/build_date.h"

#include <array>

namespace tessera {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

std::string chineseBuildDate(std::string_view compilerDate) {
    static constexpr std::array<std::string_view, 12> kMonths{
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const std::string unchanged(compilerDate);
    if (compilerDate.size() != 11 || compilerDate[3] != ' ' || compilerDate[6] != ' ')
        return unchanged;
    int month = 0;
    for (size_t i = 0; i < kMonths.size(); ++i)
        if (compilerDate.substr(0, 3) == kMonths[i])
            month = static_cast<int>(i) + 1;
    const std::string_view day = compilerDate.substr(4, 2);
    const std::string_view year = compilerDate.substr(7, 4);
    if (month == 0 || !(day[0] == ' ' || isDigit(day[0])) || !isDigit(day[1]))
        return unchanged;
    for (char c : year)
        if (!isDigit(c))
            return unchanged;
    const int dayNumber = (day[0] == ' ' ? 0 : (day[0] - '0') * 10) + (day[1] - '0');
    if (dayNumber < 1 || dayNumber > 31)
        return unchanged;
    return std::string(year) + "年" + std::to_string(month) + "月" + std::to_string(dayNumber) +
           "日";
}

} // namespace tessera
