#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <cctype>
#include <stdexcept>
#include <string>
#include <string_view>

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

namespace test_support {

// Table cases print as their `what`; bring it in with `using test_support::PrintTo;`.
template <class Case>
requires requires(const Case& c) {
    c.what;
}
void PrintTo(const Case& c, std::ostream* out) {
    *out << c.what;
}

}  // namespace test_support

// Turns a table case's `what` into a test name.
template <class Case>
std::string caseName(const testing::TestParamInfo<Case>& info) {
    std::string name = info.param.what;
    for (char& c : name)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return name;
}
