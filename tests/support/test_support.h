// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cctype>
#include <initializer_list>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

// Failures show texts as text, not as lists of code units.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

// A scratch folder for one test, removed with everything in it afterwards.
class ScratchDir {
public:
    QString path(const QString& name) const { return dir_.filePath(name); }

    QString write(const QString& name, std::string_view bytes) const {
        QFile file(path(name));
        if (!file.open(QIODevice::WriteOnly) ||
            file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()))
            throw std::runtime_error("cannot write test file");
        return file.fileName();
    }

    static std::string read(const QString& path) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) return "<missing>";
        const QByteArray bytes = file.readAll();
        return std::string(bytes.constData(), std::size_t(bytes.size()));
    }

private:
    QTemporaryDir dir_;
};

// One vCard entry: its fixed first lines, then `lines`, then END:VCARD without a line end.
inline std::string vcard(std::initializer_list<std::string_view> lines) {
    std::string text = "BEGIN:VCARD\r\nVERSION:2.1\r\n";
    for (const std::string_view line : lines) text.append(line).append("\r\n");
    return text + "END:VCARD";
}

inline std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// Turns a description into a test name.
inline std::string testName(std::string name) {
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}

// Turns a table case's `what` into a test name.
template <class Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    return testName(info.param.what);
}
