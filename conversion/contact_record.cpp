#include "contact_record.h"

#include <cstring>

#include "utf8.h"

void ContactRow::clear() {
    for (std::string& field : fields) field.clear();
    count = 0;
}

std::string* ContactRow::startField() {
    ++count;
    return count <= UsedFields ? &fields[count - 1] : nullptr;
}

void ContactRow::cut(std::string_view line) {
    clear();
    for (;;) {
        const std::size_t comma = line.find(',');
        if (std::string* field = startField()) appendFieldText(*field, line.substr(0, comma));
        if (comma == std::string_view::npos) return;
        line.remove_prefix(comma + 1);
    }
}

void appendFieldText(std::string& field, std::string_view value) {
    while (!value.empty()) {
        const std::size_t brk = value.find_first_of("\r\n");
        field.append(value.substr(0, brk));
        if (brk == std::string_view::npos) return;
        field += ' ';
        const bool crLf = value[brk] == '\r' && brk + 1 < value.size() && value[brk + 1] == '\n';
        value.remove_prefix(brk + (crLf ? 2 : 1));
    }
}

namespace VCardRecord {
namespace {

void appendLine(std::string& out, std::string_view property, std::string_view value) {
    out.append(property).append(value).append("\r\n");
}

}  // namespace

void appendTo(std::string& out, const ContactRow& row) {
    // A Chinese name: the first character is the family name, the rest the given name.
    const std::string_view name = row.fields[ContactRow::Name];
    const std::size_t family = utf8::firstCharLength(name);

    out.append("BEGIN:VCARD\r\nVERSION:2.1\r\nN:")
        .append(name.substr(0, family))
        .append(";")
        .append(name.substr(family))
        .append(";;\r\n");
    appendLine(out, "FN:", name);
    static constexpr std::string_view optionalLines[] = {
        "ORG:", "TEL;WORK;VOICE:", "TEL;HOME;VOICE:", "TEL;CELL;VOICE:"};
    for (std::size_t i = ContactRow::Company; i < ContactRow::UsedFields && i < row.count; ++i)
        appendLine(out, optionalLines[i - ContactRow::Company], row.fields[i]);
    out.append("END:VCARD");
}

std::string of(const ContactRow& row) {
    std::string text;
    appendTo(text, row);
    return text;
}

}  // namespace VCardRecord
