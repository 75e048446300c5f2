// LPRINT: the text PRINT's composer makes is cut at line feeds and form feeds and drawn at the
// print position, which moves down a line at each line feed and stays after the text when the
// text ends without one. A form feed ends the job; the next LPRINT starts another.
#include "devices/printer.h"

#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "host/shift_jis.h"
#include "screen/print.h"

namespace quillon {
namespace {

constexpr char kFormFeed = '\x0C';
constexpr int kTabColumns = 8;  // a comma's tab moves to the next multiple of eight columns

constexpr char kNoPrinter[] =
    "\x8Eg\x97p\x82\xC5\x82\xAB\x82\xE9\x83v\x83\x8A\x83\x93\x83^\x81[\x82\xAA\x8C\xA9\x82\xC2"
    "\x82\xA9\x82\xE8\x82\xDC\x82\xB9\x82\xF1";  // 使用できるプリンターが見つかりません
constexpr char kNotPrinted[] =
    "\x88\xF3\x8D\xFC\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD";  // 印刷できませんでした

bool open_job(Runtime& rt) {
    auto& printer = rt.devices.printer;
    if (printer.job) return true;
    std::string why;
    printer.job = rt.platform.start_print_job(rt.host.font, why);
    if (!printer.job) {
        report_error(rt, kOwnMessage, kNoPrinter);
        return false;
    }
    printer.font = rt.platform.open_font(rt.host.font);
    printer.x = kPrintLeft;
    printer.y = 0;
    return true;
}

// The width of Shift-JIS text in the printer font; tabs advance to the next tab stop.
int text_width(const Font& font, std::string_view text, int x) {
    const int start = x;
    const int tab = font.advance(' ') * kTabColumns;
    for (std::size_t k = 0; k < text.size(); ++k) {
        auto byte = static_cast<uint8_t>(text[k]);
        if (byte == '\t' && tab > 0) {
            x = kPrintLeft + ((x - kPrintLeft) / tab + 1) * tab;
            continue;
        }
        unsigned code = byte;
        if (is_sjis_lead(byte) && k + 1 < text.size())
            code = byte * 256u + static_cast<uint8_t>(text[++k]);
        x += font.advance(code);
    }
    return x - start;
}

// Draws one piece at the print position, tab by tab, starting a new page when the line would
// begin below the page (lines are never drawn off the paper and lost).
void draw_piece(PrinterState& printer, std::string_view piece) {
    const FontMetrics& metrics = printer.font->metrics();
    if (printer.y > 0 && printer.y + metrics.height > printer.job->page_height()) {
        printer.job->new_page();
        printer.y = 0;
    }
    while (!piece.empty()) {
        std::size_t tab = piece.find('\t');
        std::string_view run = piece.substr(0, tab);
        if (!run.empty()) printer.job->draw_text(printer.x, printer.y, run);
        printer.x += text_width(*printer.font, run, printer.x);
        if (tab == std::string_view::npos) break;
        printer.x += text_width(*printer.font, "\t", printer.x);
        piece.remove_prefix(tab + 1);
    }
}

// Sends the job; the position starts again at the top of the next job.
bool send_job(Runtime& rt, std::string& why) {
    auto& printer = rt.devices.printer;
    bool sent = printer.job->finish(why);
    printer.job.reset();
    printer.font.reset();
    printer.x = kPrintLeft;
    printer.y = 0;
    return sent;
}

std::string failure_text(const std::string& why) {
    return why.empty() ? std::string(kNotPrinted) : std::string(kNotPrinted) + " (" + why + ")";
}

}  // namespace

void lprint_statement(Runtime& rt, StatementContext& ctx) {
    std::string text;
    compose_and_print(rt, ctx.args, &text);
    std::string raw;
    if (rt.host.stop || !decode_string(rt, text, raw) || !open_job(rt)) return;
    auto& printer = rt.devices.printer;
    const FontMetrics& metrics = printer.font->metrics();
    std::string_view rest = raw;
    for (;;) {
        std::size_t cut = rest.find_first_of("\n\x0C");
        draw_piece(printer, rest.substr(0, cut));
        if (cut == std::string_view::npos) return;  // the next LPRINT continues this line
        if (rest[cut] == kFormFeed) break;          // text after a form feed is not printed
        printer.x = kPrintLeft;
        printer.y += metrics.height + metrics.external_leading;
        rest.remove_prefix(cut + 1);
        if (rest.empty()) return;
    }
    std::string why;
    if (!send_job(rt, why)) report_error(rt, kOwnMessage, failure_text(why));
}

void end_print_job(Runtime& rt) {
    if (!rt.devices.printer.job) return;
    std::string why;
    if (!send_job(rt, why))
        rt.platform.message_box(failure_text(why), error_report_title(kOwnMessage),
                                MessageIcon::Error);
}

}  // namespace quillon
