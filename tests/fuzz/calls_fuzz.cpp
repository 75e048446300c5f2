// libFuzzer target for the function-call expander: any statement text, with user functions
// defined (one of them recursive), must expand or be refused without a crash, hang or overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "../unit/fake_platform.h"
#include "expr/calls.h"
#include "host/limits.h"
#include "host/runtime.h"

namespace {

// Keys arrive at once, so that input$ never waits for ever.
class FuzzPlatform : public quillon::testing::FakePlatform {
  public:
    quillon::Runtime* rt = nullptr;
    void want_keys(quillon::KeyDemand) override { rt->screen.last_key = 'k'; }
};

void define(quillon::Runtime& rt, const char* definition) {
    quillon::StatementContext ctx;
    ctx.args = definition;
    quillon::define_function(rt, ctx);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > quillon::kStatementMax) return 0;
    FuzzPlatform platform;
    quillon::Runtime rt(platform);
    platform.rt = &rt;
    rt.graphics.picture.resize(16, 16);
    define(rt, "FNA(X)=X*2+abs(X)");
    define(rt, "FNS$(A$,N)=left$(A$,N)+\"x\"");
    define(rt, "FNR(X)=FNR(X)+1");
    std::string text(reinterpret_cast<const char*>(data), size);
    quillon::expand_calls(rt, text);
    return 0;
}
