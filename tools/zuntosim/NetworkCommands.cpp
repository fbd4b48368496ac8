// Radio: signal quality and registration (3GPP TS 27.007 clauses 7, 8.5).
#include "CommandTable.h"

namespace zuntosim {

void registerNetworkCommands(CommandTable& t) {
    using K = SimCommand::Kind;
    t.add("+CSQ", [](ModemState& s, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Test)
            r.lines = {"+CSQ: (0-31,99),(0-7,99)"};
        else
            r.lines = {"+CSQ: " + std::to_string(s.signal) + ",99"};
    });
    t.add("+CREG", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CREG: 0,1"};
    });
    t.add("+CGREG", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+CGREG: 0,1"};
    });
    t.add("+COPS", [](ModemState&, const SimCommand& c, SimReply& r) {
        if (c.kind == K::Read) r.lines = {"+COPS: 0,2,\"46000\""};
        if (c.kind == K::Test)
            r.lines = {"+COPS: (2,\"CHINA MOBILE\",\"CMCC\",\"46000\"),,(0-4),(0-2)"};
    });
}

}  // namespace zuntosim
