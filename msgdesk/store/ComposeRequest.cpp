// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/ComposeRequest.h"

#include <memory>

#include "device/WindowMessages.h"

namespace msgdesk {

namespace {

struct DraftFields {
    std::string joined;
    std::string number;
    std::string contact;
    std::string text;
};

// The payload's deleter type tells a draft payload apart from a plain text
// one (std::get_deleter sees through shared_ptr<void>).
struct DraftFieldsDeleter {
    void operator()(DraftFields* p) const { delete p; }
};

}  // namespace

platform::Message MakeComposeRequest(std::string text, int mode) {
    auto owned = std::make_shared<std::string>(std::move(text));
    auto w = reinterpret_cast<platform::WPARAM>(owned->c_str());
    return platform::Message{UM_COMPOSE, w, mode, owned};
}

platform::Message MakeDraftRequest(std::string number, std::string contact, std::string text) {
    auto* f = new DraftFields{number + "," + contact + "," + text, std::move(number),
                              std::move(contact), std::move(text)};
    std::shared_ptr<DraftFields> owned(f, DraftFieldsDeleter{});
    auto w = reinterpret_cast<platform::WPARAM>(owned->joined.c_str());
    return platform::Message{UM_COMPOSE, w, 3, owned};
}

ComposeRequest ReadComposeRequest(const platform::Message& m) {
    ComposeRequest r;
    r.mode = static_cast<int>(m.lParam);
    const char* w = reinterpret_cast<const char*>(m.wParam);
    const std::string text = w ? std::string(w) : std::string();
    if (r.mode != 3) {
        r.text = text;
        return r;
    }
    if (std::get_deleter<DraftFieldsDeleter>(m.payload)) {
        const auto* f = static_cast<const DraftFields*>(m.payload.get());
        r.draftNumber = f->number;
        r.draftContact = f->contact;
        r.draftText = f->text;
        return r;
    }
    const size_t a = text.find(',');
    const size_t b = a == std::string::npos ? std::string::npos : text.find(',', a + 1);
    r.draftNumber = text.substr(0, a);
    if (a != std::string::npos)
        r.draftContact = text.substr(a + 1, b == std::string::npos ? b : b - a - 1);
    if (b != std::string::npos) r.draftText = text.substr(b + 1);
    return r;
}

}  // namespace msgdesk
