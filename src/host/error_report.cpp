// The error routine: the message table, the report formats, the error trap.
#include "host/error_report.h"

#include <string>

#include "host/limits.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/shift_jis.h"

namespace quillon {
namespace {

struct MessageEntry {
    int number;
    const char* text;  // Shift-JIS
};

constexpr MessageEntry kMessages[] = {
    {1,
     "\x95\xB6\x96@\x82\xAA\x8A\xD4\x88\xE1\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7"},  // 文法が間違っています
    {2,
     "\x8D\xB6\x82\xCC\xB5\xCD\xDF\xD7\xDD\xC4\xDE\x82\xAA\x81"
     "A\x8D\xB6\x95\xD3\x92l\x82\xC9\x82\xC8\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82"
     "\xF1"},  // 左のｵﾍﾟﾗﾝﾄﾞが、左辺値になっていません
    {3, "%s \x96\xB3\x8C\xF8\x82\xC8\x8E\xAF\x95\xCA\x8Eq\x82\xC5\x82\xB7"},  // %s
                                                                              // 無効な識別子です
    {4, "\x97\x5C\x8A\xFA\x82\xB9\x82\xCA\xB4\xD7\xB0\x82\xC5\x82\xB7"},  // 予期せぬｴﾗｰです
    {5,
     "\x8Ew\x92\xE8\x82\xB7\x82\xD7\x82\xAB\x90\x94\x92l\x82\xCC\x94\xCD\x88\xCD\x82\xC5\x82"
     "\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},  // 指定すべき数値の範囲ではありません
    {6,
     "Return \x96\xBD\x97\xDF\x8C\xEA\x82\xC9\x91\xCE\x89\x9E\x82\xB7\x82\xE9 GoSub "
     "\x96\xBD\x97\xDF\x8C\xEA\x82\xAA\x8C\x9F\x8Fo\x82\xB3\x82\xEA\x82\xDC\x82\xB9\x82\xF1\x82"
     "\xC5\x82\xB5\x82\xBD"},  // Return 命令語に対応する GoSub 命令語が検出されませんでした
    {7,
     "\xCC\xA7\xB2\xD9\x82\xD6\x82\xCC\xB1\xB8\xBE\xBD \xB4\xD7\xB0\x82\xC5\x82\xB7"},  // ﾌｧｲﾙへのｱｸｾｽ
                                                                                        // ｴﾗｰです
    {8,
     "\xCC\xA7\xB2\xD9\x82\xF0\xB5\xB0\xCC\xDF\xDD\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"},  // ﾌｧｲﾙをｵｰﾌﾟﾝできません
    {9, "\x8C^\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7"},  // 型が違います
    {10,
     "\x8Ew\x92\xE8\x82\xB7\x82\xD7\x82\xAB\xCA\xDF\xD7\xD2\xB0\xC0\x82\xCC\x8C\xC2\x90\x94\x82"
     "\xAA\x88\xE1\x82\xA2\x82\xDC\x82\xB7"},  // 指定すべきﾊﾟﾗﾒｰﾀの個数が違います
    {11,
     "Read "
     "\x96\xBD\x97\xDF\x8C\xEA\x82\xC9\x91\xCE\x89\x9E\x82\xB7\x82\xE9\xC3\xDE\xB0\xC0\x82\xAA"
     "\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1"},  // Read 命令語に対応するﾃﾞｰﾀがありません
    {12,
     "\xD2\xD3\xD8\x82\xCC\x8Ew\x92\xE8\x94\xCD\x88\xCD\x82\xF0\x92\xB4\x82\xA6\x82\xC4\x82\xA2"
     "\x82\xDC\x82\xB7"},  // ﾒﾓﾘの指定範囲を超えています
    {13, "%s \x82\xF0\x8EQ\x8F\xC6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"},  // %s
                                                                               // を参照できません
    {14,
     "\x92\xE8\x8B`\x82\xB3\x82\xEA\x82\xBD\x94z\x97\xF1\x82\xCC\x8B\x96\x97"
     "e\xD2\xD3\xD8\x82\xF0\x92\xB4\x82\xA6\x82\xC4\x82\xA2\x82\xDC\x82\xB7"},  // 定義された配列の許容ﾒﾓﾘを超えています
    {15, "\x93\xE0\x95\x94\xD2\xD3\xD8\xB0 \xB4\xD7\xB0"},  // 内部ﾒﾓﾘｰ ｴﾗｰ
    {16,
     "0\x82\xC5\x8A\x84\x82\xEB\x82\xA4\x82\xC6\x82\xB5\x82\xDC\x82\xB5\x82\xBD"},  // 0で割ろうとしました
    {17,
     "\x95\xCF\x90\x94 %s "
     "\x82\xCD\x82\xB7\x82\xC5\x82\xC9\x92\xE8\x8B`"
     "\x82\xB3\x82\xEA\x82\xC4\x82\xA2\x82\xDC\x82\xB7"},  // 変数 %s はすでに定義されています
    {18,
     "%s "
     "\x8A\xD6\x90\x94\x82\xCC\x8Eg\x82\xA2\x95\xFB\x82\xAA\x88\xE1\x82\xA2\x82\xDC\x82"
     "\xB7"},  // %s 関数の使い方が違います
    {99, "%s"},
    {101, "\x95s\x90\xB3\x82\xC8\x93\xFC\x97\xCD\x82\xC5\x82\xB7"},  // 不正な入力です
    {102,
     "Next \x96\xBD\x97\xDF\x8C\xEA\x82\xC9\x91\xCE\x82\xB7\x82\xE9 For "
     "\x96\xBD\x97\xDF\x8C\xEA\x82\xAA\x8C\x9F\x8Fo\x82\xB3\x82\xEA\x82\xDC\x82\xB9\x82\xF1\x82"
     "\xC5\x82\xB5\x82\xBD"},  // Next 命令語に対する For 命令語が検出されませんでした
    {103,
     "Wend \x96\xBD\x97\xDF\x8C\xEA\x82\xC9\x91\xCE\x82\xB7\x82\xE9 While "
     "\x96\xBD\x97\xDF\x8C\xEA\x82\xAA\x8C\x9F\x8Fo\x82\xB3\x82\xEA\x82\xDC\x82\xB9\x82\xF1\x82"
     "\xC5\x82\xB5\x82\xBD"},  // Wend 命令語に対する While 命令語が検出されませんでした
};

constexpr char kErrorTitle[] = "Basic - Error";
constexpr char kWarningTitle[] = "Basic - Warning";

// Cuts text to at most `limit` bytes without splitting a double-byte character.
void cut_at_character(std::string& text, std::size_t limit) {
    if (text.size() <= limit) return;
    std::size_t end = 0;
    while (end < limit) {
        std::size_t width = is_sjis_lead(static_cast<uint8_t>(text[end])) ? 2 : 1;
        if (end + width > limit) break;
        end += width;
    }
    text.resize(end);
}

}  // namespace

std::string error_message(int number, std::string_view text) {
    std::string message;
    for (const auto& entry : kMessages) {
        if (entry.number != number) continue;
        std::string_view format = entry.text;
        std::size_t at = format.find("%s");
        if (at == std::string_view::npos) {
            message = format;
        } else {
            message.append(format.substr(0, at));
            message.append(text.substr(0, text.find('\0')));
            message.append(format.substr(at + 2));
        }
        break;
    }
    cut_at_character(message, kErrorTextMax);
    return message;
}

std::string error_report_text(int number, std::string_view text, int line_number) {
    std::string report = error_message(number, text);
    report += number < 100 ? "\n\nError line:" : "\n\nWarning line:";
    report += std::to_string(line_number);
    cut_at_character(report, kErrorTextMax);
    return report;
}

const char* error_report_title(int number) {
    return number < 100 ? kErrorTitle : kWarningTitle;
}

void report_error(Runtime& rt, int number, std::string_view text) {
    auto& host = rt.host;
    // One error, one report: what a failed statement runs into afterwards follows from the
    // first error and is not reported again — after a stop not at all, and after a trapped
    // error not for the rest of the statement.
    if (host.stop || host.statement_trapped) return;
    // An error raised by the trap statement itself (a trap to a missing line) is reported,
    // not trapped again: trapping it would dispatch the same failing jump for ever.
    if (!host.error_trap.empty() && !host.in_error_trap) {
        host.in_error_trap = true;
        std::string trap = host.error_trap;
        dispatch_statement(rt, trap);
        host.in_error_trap = false;
        host.statement_trapped = number < 100;
        return;
    }
    if (number < 100) {
        host.error_stopped = true;
        program_end_cleanup(rt);
    }
    rt.platform.message_box(error_report_text(number, text, host.line_number),
                            error_report_title(number),
                            number < 100 ? MessageIcon::Error : MessageIcon::Information);
}

}  // namespace quillon
