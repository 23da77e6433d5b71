// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "contact_record.h"

#include <algorithm>
#include <cstring>

#include "utf8.h"

void ContactRow::cut(std::string_view line) {
    values.fill({});
    count = 0;
    // Breaks are rare (a cell Excel wrapped): when the line has none, no field needs rewriting.
    const bool hasLineBreak =
        line.find('\n') != std::string_view::npos || line.find('\r') != std::string_view::npos;
    for (;;) {
        const std::size_t separator = line.find(FieldSeparator);
        keep(line.substr(0, separator), hasLineBreak);
        if (separator == std::string_view::npos) return;
        line.remove_prefix(separator + 1);
    }
}

void ContactRow::keep(std::string_view value, bool mayHaveLineBreak) {
    if (count < UsedFields) {
        if (mayHaveLineBreak) {
            ownText_[count].clear();
            appendFieldText(ownText_[count], value);
            value = ownText_[count];
        }
        values[count] = value;
    }
    ++count;
}

void ContactRow::clear() {
    values.fill({});
    count = 0;
}

std::string* ContactRow::startField() {
    if (count >= UsedFields) {
        ++count;
        return nullptr;
    }
    ownText_[count].clear();
    return &ownText_[count++];
}

void ContactRow::useOwnText() {
    for (std::size_t i = 0; i < std::min<std::size_t>(count, UsedFields); ++i)
        values[i] = ownText_[i];
}

void appendFieldText(std::string& field, std::string_view value) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\r' && value[i] != '\n') continue;
        field.append(value, start, i - start);
        field += ' ';
        if (value[i] == '\r' && i + 1 < value.size() && value[i + 1] == '\n') ++i;
        start = i + 1;
    }
    field.append(value, start);
}

namespace VCardRecord {
namespace {

constexpr std::string_view Head = "BEGIN:VCARD\r\nVERSION:2.1\r\nN:";
constexpr std::string_view NameEnd = ";;\r\nFN:";
constexpr std::string_view LineEnd = "\r\n";
constexpr std::string_view Tail = "END:VCARD";
constexpr std::string_view OptionalProperties[] = {
    "ORG:", "TEL;WORK;VOICE:", "TEL;HOME;VOICE:", "TEL;CELL;VOICE:"};

char* put(char* at, std::string_view text) {
    std::memcpy(at, text.data(), text.size());
    return at + text.size();
}

}  // namespace

void appendTo(std::string& out, const ContactRow& row) {
    // A Chinese name: the first character is the family name, the rest the given name.
    const std::string_view name = row.values[ContactRow::Name];
    const std::size_t family = utf8::firstChar(name).length;
    const std::size_t lastField = std::min<std::size_t>(row.count, ContactRow::UsedFields);

    // Sized first and filled in place: this runs once for every contact.
    std::size_t size =
        Head.size() + name.size() + 1 + NameEnd.size() + name.size() + LineEnd.size() + Tail.size();
    for (std::size_t i = ContactRow::Company; i < lastField; ++i)
        size += OptionalProperties[i - 1].size() + row.values[i].size() + LineEnd.size();
    const std::size_t start = out.size();
    out.resize(start + size);

    char* at = put(out.data() + start, Head);
    at = put(at, name.substr(0, family));
    at = put(at, ";");
    at = put(at, name.substr(family));
    at = put(at, NameEnd);
    at = put(at, name);
    at = put(at, LineEnd);
    for (std::size_t i = ContactRow::Company; i < lastField; ++i) {
        at = put(at, OptionalProperties[i - 1]);
        at = put(at, row.values[i]);
        at = put(at, LineEnd);
    }
    put(at, Tail);
}

}  // namespace VCardRecord
