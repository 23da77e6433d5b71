// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

// What stands between two fields of a contact line.
constexpr char FieldSeparator = ',';

// The fields of one contact line. Only the first five are kept, by position; `count` still
// counts every field, since it decides which record lines exist.
struct ContactRow {
    enum Field { Name, Company, BusinessPhone, HomePhone, MobilePhone, UsedFields };

    // The kept fields' text: views into the line the row was cut from, or into the row's own text
    // where a value had to change; either way valid until the row or that line changes.
    std::array<std::string_view, UsedFields> values;
    std::size_t count = 0;

    // Refills the row by cutting `line` at every field separator: no quoting, quotes stay in the
    // fields.
    void cut(std::string_view line);

    // Building a row piece by piece: clear(), then startField() for each field and append to the
    // text it returns (nullptr past the used fields), then useOwnText().
    void clear();
    std::string* startField();
    void useOwnText();

private:
    void keep(std::string_view value, bool mayHaveLineBreak);

    std::array<std::string, UsedFields> ownText_;
};

// Appends `value` as a field's text: a line break inside it (CR LF, CR or LF) becomes one
// space, so that each vCard property stays on one line.
void appendFieldText(std::string& field, std::string_view value);

// The text of one vCard 2.1 entry. Lines end in CR LF; the last, "END:VCARD", has no line end.
namespace VCardRecord {

void appendTo(std::string& out, const ContactRow& row);

}  // namespace VCardRecord
