// CHDIR, KILL, MKDIR and FILES. CHDIR only changes the program folder; KILL deletes a file
// resolved against it; MKDIR and FILES take their folder as written, relative to the current
// directory. FILES lists plain folders in angle brackets first, then everything else.
#include <vector>

#include "devices/device_statements.h"
#include "devices/file_names.h"
#include "expr/builtins.h"
#include "expr/evaluator.h"
#include "expr/value_text.h"
#include "host/error_report.h"
#include "host/runtime.h"
#include "platform/file_system.h"
#include "screen/char_screen.h"

namespace quillon {
namespace {

// Real bytes as text for the character screen, where escape pairs stand for their bytes.
void write_name(Runtime& rt, std::string_view raw, std::string_view after) {
    std::string value;
    encode_string(raw, value);
    std::string text = value.substr(1, value.size() - 2);
    text += after;
    write_text(rt, text);
}

// FILES counts printed entries from 1; the very first entry it looks at, when printed, does
// not add to the count. An entry ends its line once the count reaches the entries per line.
class FilesLayout {
  public:
    FilesLayout(Runtime& rt, int32_t per_line) : rt_(rt), per_line_(per_line) {}

    void look_at(const FolderEntry& entry, bool print, bool bracketed) {
        bool first = first_;
        first_ = false;
        if (!print) return;
        if (!first) ++count_;
        bool ends_line = count_ >= per_line_;
        if (ends_line) count_ = 0;
        std::string name = bracketed ? "<" + entry.name + ">" : entry.name;
        write_name(rt_, name, ends_line ? "\n" : " ");
    }

  private:
    Runtime& rt_;
    int32_t per_line_;
    int32_t count_ = 1;
    bool first_ = true;
};

bool is_dot_entry(const FolderEntry& entry) {
    return entry.name == "." || entry.name == "..";
}

}  // namespace

void chdir_statement(Runtime& rt, StatementContext& ctx) {
    std::string folder;
    if (!string_argument(rt, ctx.args, folder)) return;
    if (ends_with_backslash(folder)) folder.pop_back();
    rt.devices.program_folder = std::move(folder);
}

void kill_statement(Runtime& rt, StatementContext& ctx) {
    std::string name;
    if (!string_argument(rt, ctx.args, name)) return;
    resolve_path(rt, name);
    if (!rt.platform.file_system().remove_file(name)) report_error(rt, kFileAccess);
}

void mkdir_statement(Runtime& rt, StatementContext& ctx) {
    std::string name;
    if (!string_argument(rt, ctx.args, name)) return;
    rt.platform.file_system().make_folder(name);  // a failure is not reported
}

void files_statement(Runtime& rt, StatementContext& ctx) {
    std::string_view args = ctx.args;
    std::size_t comma = args.find(',');  // quotes and brackets are not looked at
    int32_t per_line = 0;
    if (comma != std::string_view::npos) {
        per_line = truncate_to_int32(eval_numeric(rt, args.substr(comma + 1)));
        if (rt.host.stop) return;
    }
    std::string folder;
    if (!string_argument(rt, args.substr(0, comma), folder)) return;
    if (!ends_with_backslash(folder)) folder += '\\';
    write_name(rt, folder, "\n");

    std::vector<FolderEntry> entries = rt.platform.file_system().list_folder(folder);
    FilesLayout layout(rt, per_line);
    for (const FolderEntry& entry : entries)
        layout.look_at(entry, entry.folder && !is_dot_entry(entry), true);
    for (const FolderEntry& entry : entries)
        layout.look_at(entry, !entry.folder, false);
}

}  // namespace quillon
