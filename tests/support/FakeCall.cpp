#include "support/FakeCall.h"

std::string FakeCall::toString() const {
    std::string text = method + "(";
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (i > 0) text += ", ";
        switch (args[i].kind) {
            case wire::ArgKind::Text:
                text += "\"" + args[i].value + "\"";
                break;
            case wire::ArgKind::TextInOut:
                text += "inout \"" + args[i].value + "\"";
                break;
            case wire::ArgKind::Packet:
                text += "packet " + args[i].value;
                break;
        }
    }
    return text + ")";
}

std::vector<std::string> FakeCall::values() const {
    std::vector<std::string> texts;
    texts.reserve(args.size());
    for (const auto& arg : args) texts.push_back(arg.value);
    return texts;
}
