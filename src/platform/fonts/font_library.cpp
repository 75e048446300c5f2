// Finds faces for font records with fontconfig, under the runtime's own alias rules for the
// classic Japanese faces, and opens them as FreeType fonts; recently opened fonts are reused.
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <list>
#include <mutex>
#include <tuple>

#include "platform/fonts/face_names.h"
#include "platform/fonts/font_libraries.h"
#include "platform/fonts/freetype_font.h"
#include "platform/fonts/system_font.h"
#include "platform/text_codec.h"

namespace quillon {
namespace {

constexpr std::size_t kRecentFonts = 8;     // fonts kept for statements that make them again
constexpr int kBoldWeight = 600;            // record weights from here on are bold
constexpr int kDefaultWeight = 400;         // what weight 0 (any weight) gets
constexpr uint8_t kAntialiasedQuality = 4;  // 4, 5 and 6 ask for smoothed glyphs
constexpr uint8_t kClearTypeNaturalQuality = 6;

auto record_key(const FontRecord& r) {
    return std::tie(r.height, r.width, r.escapement, r.orientation, r.weight, r.italic, r.underline,
                    r.strike_out, r.charset, r.out_precision, r.clip_precision, r.quality,
                    r.pitch_and_family, r.face);
}

// The generic family a record's pitch-and-family byte names, for faces that are not found.
const char* generic_family(uint8_t pitch_and_family) {
    switch (pitch_and_family & 0xF0) {
        case 0x10:
            return "serif";  // roman
        case 0x20:
            return "sans-serif";  // swiss
        case 0x30:
            return "monospace";  // modern
        default:
            return nullptr;
    }
}

std::string pattern_string(FcPattern* pattern, const char* object) {
    FcChar8* value = nullptr;
    if (FcPatternGetString(pattern, object, 0, &value) != FcResultMatch || !value) return {};
    return reinterpret_cast<const char*>(value);
}

int pattern_int(FcPattern* pattern, const char* object, int fallback) {
    int value = fallback;
    FcPatternGetInteger(pattern, object, 0, &value);
    return value;
}

}  // namespace

namespace {

// A font opened when it is first used: a run that shows no text never loads the font
// libraries or the font's file.
class LazyFont : public Font {
  public:
    explicit LazyFont(std::function<std::shared_ptr<const Font>()> open) : open_(std::move(open)) {}
    const FontMetrics& metrics() const override { return font().metrics(); }
    int advance(unsigned code) const override { return font().advance(code); }
    void draw(PixelView target, int x, int y, unsigned code, uint32_t colour,
              int32_t background) const override {
        font().draw(target, x, y, code, colour, background);
    }

  private:
    const Font& font() const {
        std::call_once(once_, [this] { font_ = open_(); });
        return *font_;
    }
    std::function<std::shared_ptr<const Font>()> open_;
    mutable std::once_flag once_;
    mutable std::shared_ptr<const Font> font_;
};

}  // namespace

struct FontLibrary::Impl {
    FcConfig* config = nullptr;
    bool config_loaded = false;
    std::shared_ptr<FreeTypeLibrary> freetype;
    std::mutex mutex;  // guards the configuration and the recent list
    std::list<std::pair<FontRecord, std::shared_ptr<const Font>>> recent;
    std::optional<FaceFile> fallback;  // the face for characters a face lacks
    bool fallback_known = false;
    bool freetype_missing = false;

    ~Impl() {
        if (config) FcConfigDestroy(config);
    }

    // fontconfig's configuration and the alias rules, loaded with the first match. Mutex held.
    void load_config() {
        if (config_loaded) return;
        config_loaded = true;
        if (!fontconfig_library().available()) {  // no faces: blank fonts
            static std::once_flag told;  // one line for the run, however many font libraries
            std::call_once(told, [] {
                std::fprintf(stderr, "kavrun: fontconfig cannot be loaded; text is drawn blank\n");
            });
            return;
        }
        config = FcInitLoadConfigAndFonts();
        if (!config) return;
        std::string rules = classic_alias_rules();
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(rules.c_str()),
                                       FcFalse);
    }

    FaceMatch match(const FontRecord& record);
    std::optional<FaceFile> fallback_face();
    std::shared_ptr<const Font> open(const FontRecord& record);
};

// Asks fontconfig for the record's face: a classic name under its ASCII spelling (which the
// alias rules map), Japanese coverage, the record's weight and slant. Mutex held.
FaceMatch FontLibrary::Impl::match(const FontRecord& record) {
    FaceMatch out;
    load_config();
    if (!config) return out;
    const ClassicFace classic = classic_face(record.face);
    out.classic_metrics = classic != ClassicFace::None;
    FcPattern* pattern = FcPatternCreate();
    std::string family =
        classic != ClassicFace::None ? classic_face_info(classic).name : sjis_to_utf8(record.face);
    if (!family.empty())
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    if (const char* generic = generic_family(record.pitch_and_family))
        FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    FcPatternAddString(pattern, FC_LANG, reinterpret_cast<const FcChar8*>("ja"));
    int weight = record.weight == 0 ? kDefaultWeight : std::clamp(record.weight, 1, 1000);
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(pattern, FC_SLANT, record.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return out;
    out.family = pattern_string(found, FC_FAMILY);
    out.file = pattern_string(found, FC_FILE);
    out.index = pattern_int(found, FC_INDEX, 0);
    FcPatternDestroy(found);
    return out;
}

// The Gothic substitute, looked up once. Mutex held.
std::optional<FaceFile> FontLibrary::Impl::fallback_face() {
    if (!fallback_known) {
        fallback_known = true;
        FontRecord gothic;
        gothic.face = "MS Gothic";
        FaceMatch m = match(gothic);
        if (!m.file.empty()) fallback = FaceFile{m.file, m.index};
    }
    return fallback;
}

// Opens a font for the record, reusing a recent one made from the same record. Mutex held.
std::shared_ptr<const Font> FontLibrary::Impl::open(const FontRecord& record) {
    for (auto it = recent.begin(); it != recent.end(); ++it) {
        if (record_key(it->first) != record_key(record)) continue;
        recent.splice(recent.begin(), recent, it);
        return recent.front().second;
    }
    FaceMatch m = match(record);
    FontSetup setup;
    setup.primary = FaceFile{m.file, m.index};
    setup.fallback = fallback_face();
    setup.classic = m.classic_metrics ? classic_face(record.face) : ClassicFace::None;
    setup.height = record.height;
    // Any record the program makes: the magnitude taken in 64 bits (-2147483648 has none in
    // 32), then kept to what a glyph can be.
    setup.width = static_cast<int>(std::min<long long>(std::llabs(record.width), kFontPixelMax));
    setup.bold = record.weight >= kBoldWeight;
    setup.italic = record.italic != 0;
    setup.antialias =
        record.quality >= kAntialiasedQuality && record.quality <= kClearTypeNaturalQuality;
    setup.underline = record.underline != 0;
    setup.strike_out = record.strike_out != 0;
    setup.escapement = record.escapement;
    std::shared_ptr<const Font> font;
    if (!freetype && !m.file.empty() && !freetype_missing) {
        freetype = FreeTypeLibrary::create();
        if (!freetype && !freetype_library().available()) {
            freetype_missing = true;  // said once
            std::fprintf(stderr, "kavrun: FreeType cannot be loaded; text is drawn blank\n");
        }
    }
    if (!m.file.empty()) font = FreeTypeFont::open(freetype, setup);
    if (!font) font = std::make_shared<BlankFont>(record);
    recent.emplace_front(record, font);
    if (recent.size() > kRecentFonts) recent.pop_back();
    return font;
}

FontLibrary::FontLibrary() : impl_(std::make_shared<Impl>()) {}
FontLibrary::~FontLibrary() = default;

std::unique_ptr<Font> FontLibrary::open_font(const FontRecord& record) {
    return std::make_unique<LazyFont>([impl = impl_, record] {
        std::lock_guard lock(impl->mutex);
        return impl->open(record);
    });
}

FaceMatch FontLibrary::resolve(const FontRecord& record) {
    std::lock_guard lock(impl_->mutex);
    return impl_->match(record);
}

std::unique_ptr<Font> open_system_font(const FontRecord& record) {
    FontLibrary library;
    return library.open_font(record);
}

}  // namespace quillon
