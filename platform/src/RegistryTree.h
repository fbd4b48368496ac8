// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lookup in the key tree of a hive, shared by the text format and the store.
// Names are compared without regard to ASCII case, as the system's registry
// does; bytes above 0x7F (GBK or UTF-8) compare exactly.
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "platform/RegistryText.h"

namespace platform::regtree {

using Node = RegistryNode;

inline bool iequals(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x < 0x80) x = static_cast<unsigned char>(std::tolower(x));
        if (y < 0x80) y = static_cast<unsigned char>(std::tolower(y));
        if (x != y) return false;
    }
    return true;
}

inline std::vector<std::string> splitPath(const std::string& key) {
    std::vector<std::string> parts;
    std::string cur;
    for (char c : key) {
        if (c == '\\' || c == '/') {
            if (!cur.empty()) parts.push_back(cur);
            cur.clear();
        } else {
            cur += c;
        }
    }
    if (!cur.empty()) parts.push_back(cur);
    return parts;
}

inline Node* child(Node* n, std::string_view name) {
    for (auto& c : n->children)
        if (iequals(c->name, name)) return c.get();
    return nullptr;
}

inline Node* find(Node* root, const std::string& key, bool create) {
    Node* n = root;
    for (auto& p : splitPath(key)) {
        Node* c = child(n, p);
        if (!c) {
            if (!create) return nullptr;
            n->children.push_back(std::make_unique<Node>());
            c = n->children.back().get();
            c->name = p;
        }
        n = c;
    }
    return n;
}

inline RegValue* findValue(Node* n, std::string_view name) {
    for (auto& [k, v] : n->values)
        if (iequals(k, name)) return &v;
    return nullptr;
}

}  // namespace platform::regtree
