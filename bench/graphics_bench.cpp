// Graphics: each statement as the run loop dispatches it (argument expansion, evaluation, both
// canvases drawn) side by side with the raster work alone, on the 1024 x 768 picture and the
// 640 x 400 window surface. The difference is the interpreter's share.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "fake_platform.h"
#include "graphics/figures.h"
#include "graphics/flood_fill.h"
#include "host/run_loop.h"
#include "host/runtime.h"
#include "host/startup.h"
#include "platform/fonts/system_font.h"

namespace quillon {
namespace {

// The fake platform with real fonts, so that GPRINT renders glyphs with FreeType.
class FontPlatform : public testing::FakePlatform {
  public:
    std::unique_ptr<Font> open_font(const FontRecord& record) override {
        return fonts.open_font(record);
    }
    FontLibrary fonts;
};

struct GraphicsRuntime {
    FontPlatform platform;
    Runtime rt{platform};

    GraphicsRuntime() {
        rt.graphics.picture.resize(1024, 768);
        rt.graphics.surface.resize(640, 400);
        rt.host.font.face = "MS Mincho";
        initialise_program_state(rt);
    }
    void run(const std::string& statement) { dispatch_statement(rt, statement); }
};

const std::string kLine = "\x11\x12 (0,0)-(1023,767),2";
const std::string kPset = "\x10\x45 (512,384),2";
const std::string kCircle = "\x10\x41 (512,384),50,2,,,,F";
const std::string kPaintRed = "\x10\x42 (0,0),2";
const std::string kPaintBlue = "\x10\x42 (0,0),1";
const std::string kGprint =
    "\x10\x47 100,100,\"\x8A\xBF\x8E\x9A"
    "ABC\",7";  // 漢字ABC
const std::string kGetSmall = "\x11\x10 (0,0)-(200,200),A";
const std::string kGetWhole = "\x11\x10 (0,0)-(1024,768),B";
const std::string kPutSmall = "\x11\x11 (100,100),0,XOR";
const std::string kPutWhole = "\x11\x11 (0,0),1,PSET";

void statement_line(benchmark::State& state) {
    GraphicsRuntime g;
    for (auto _ : state)
        g.run(kLine);
}
BENCHMARK(statement_line);

void raster_line(benchmark::State& state) {
    GraphicsRuntime g;
    for (auto _ : state) {
        draw_line(g.rt.graphics.surface, 0, 0, 1023, 767, 0xFF);
        draw_line(g.rt.graphics.picture, 0, 0, 1023, 767, 0xFF);
    }
}
BENCHMARK(raster_line);

void statement_pset(benchmark::State& state) {
    GraphicsRuntime g;
    for (auto _ : state)
        g.run(kPset);
}
BENCHMARK(statement_pset);

void statement_filled_circle(benchmark::State& state) {
    GraphicsRuntime g;
    for (auto _ : state)
        g.run(kCircle);
}
BENCHMARK(statement_filled_circle);

void raster_filled_circle(benchmark::State& state) {
    GraphicsRuntime g;
    const Box box{462, 334, 562, 434};
    for (auto _ : state) {
        draw_ellipse(g.rt.graphics.surface, box, 0xFF, 0xFF);
        draw_ellipse(g.rt.graphics.picture, box, 0xFF, 0xFF);
    }
}
BENCHMARK(raster_filled_circle);

// Each PAINT covers the whole picture: the colours alternate so that none is skipped.
void statement_paint_whole_picture(benchmark::State& state) {
    GraphicsRuntime g;
    bool red = false;
    for (auto _ : state)
        g.run((red = !red) ? kPaintRed : kPaintBlue);
}
BENCHMARK(statement_paint_whole_picture)->Unit(benchmark::kMillisecond);

void raster_paint_whole_picture(benchmark::State& state) {
    GraphicsRuntime g;
    bool red = false;
    for (auto _ : state)
        flood_fill(g.rt.graphics.picture, 0, 0, (red = !red) ? 0xFF : 0xFF0000, 1);
}
BENCHMARK(raster_paint_whole_picture)->Unit(benchmark::kMillisecond);

void statement_gprint(benchmark::State& state) {
    GraphicsRuntime g;
    for (auto _ : state)
        g.run(kGprint);
}
BENCHMARK(statement_gprint);

void statement_put_200x200(benchmark::State& state) {
    GraphicsRuntime g;
    g.run(kGetSmall);
    for (auto _ : state)
        g.run(kPutSmall);
}
BENCHMARK(statement_put_200x200);

void statement_put_whole_picture(benchmark::State& state) {
    GraphicsRuntime g;
    g.run(kGetSmall);
    g.run(kGetWhole);
    for (auto _ : state)
        g.run(kPutWhole);
}
BENCHMARK(statement_put_whole_picture)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillon
