// Fuzz target: any bytes as a statement's argument text for the function-call expander, with
// user functions defined (one of them recursive). Must never crash, hang or overrun.
#include <string>

#include "expr/assignment.h"
#include "expr/calls.h"
#include "fake_platform.h"
#include "fuzz_runtime.h"
#include "host/limits.h"
#include "host/runtime.h"
#include "host/startup.h"

namespace {

// Keys arrive at once, so that input$ never waits for ever.
class KeyPlatform : public quillon::testing::FakePlatform {
  public:
    quillon::Runtime* rt = nullptr;
    void want_keys(quillon::KeyDemand) override { rt->screen.last_key = 'k'; }
};

struct CallsRuntime {
    KeyPlatform platform;
    quillon::Runtime rt{platform};

    CallsRuntime() {
        platform.rt = &rt;
        quillon::initialise_program_state(rt);
        rt.graphics.picture.resize(16, 16);
        for (const char* definition :
             {"FNA(X)=X*2+abs(X)", "FNS$(A$,N)=left$(A$,N)+\"x\"", "FNR(X)=FNR(X)+1"}) {
            quillon::StatementContext ctx;
            ctx.args = definition;
            quillon::define_function(rt, ctx);
        }
        for (const char* statement : {"a=1", "a$=\"abc\"", "e(1)=3"})
            quillon::assign(rt, statement);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size > quillon::kStatementMax) return 0;  // the run loop refuses longer statements
    CallsRuntime f;
    std::string text(quillon::fuzz::input_text(data, size));
    quillon::expand_calls(f.rt, text);
    return 0;
}
