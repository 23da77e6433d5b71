// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "conversion_run.h"

#include <QFileInfo>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "contact_record.h"
#include "csv_row_reader.h"
#include "decoded_input.h"
#include "file_paths.h"
#include "line_reader.h"
#include "native_files.h"

namespace {

// Records are handed to the writer in pieces of about this size.
constexpr std::size_t WriteChunk = 256 * 1024;

constexpr std::string_view HeadingWord = "姓名";
constexpr std::string_view IdeographicSpace = "\u3000";

// Spaces and ideographic spaces only, or nothing at all.
bool isBlank(std::string_view line) {
    for (;;) {
        if (line.starts_with(' '))
            line.remove_prefix(1);
        else if (line.starts_with(IdeographicSpace))
            line.remove_prefix(IdeographicSpace.size());
        else
            return line.empty();
    }
}

bool mentionsHeading(std::string_view line) {
    // Looks for the word's third byte, one UTF-8 continuation byte among 64, and checks around
    // each hit: a plain find stops at every character that shares 姓's lead byte, as most
    // Chinese characters do.
    constexpr std::size_t Anchor = 2;
    for (std::size_t from = Anchor; from < line.size();) {
        const void* hit = std::memchr(line.data() + from, HeadingWord[Anchor], line.size() - from);
        if (!hit) return false;
        const auto at = static_cast<std::size_t>(static_cast<const char*>(hit) - line.data());
        if (line.substr(at - Anchor).starts_with(HeadingWord)) return true;
        from = at + 1;
    }
    return false;
}

// Blank rows (spaces and ideographic spaces only) and the heading row (any row that mentions
// 姓名) are counted but make no record. A row is judged whole, over all the lines it takes.
bool isDataRow(std::string_view text) {
    return !isBlank(text) && !mentionsHeading(text);
}

// A path with a lone surrogate (a paste can bring one) names no file: Qt would open the file
// named with a replacement character in its place, and the standard library throws on it. The
// run checks each path it reads, so that nothing after it meets one.
bool canNameAFile(const QString& path) {
    return path.isValidUtf16();
}

bool isSameFile(const QString& a, const QString& b) {
    std::error_code error;
    return std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), error);
}

}  // namespace

void ConversionRun::execute() {
    const QString typedInput = cleanedPath(sink_.readInputPath());
    if (!canNameAFile(typedInput) || !QFileInfo(typedInput).isFile()) {
        sink_.showMessage(RunTexts::FileMissing);
        return;
    }
    sink_.processPendingEvents();

    // This was the run's only yield: nothing can change the boxes from here on.
    const QString inputPath = cleanedPath(sink_.readInputPath());
    const QString typedOutput = cleanedPath(sink_.readOutputPath());
    const OutputEncoding encoding = sink_.readEncodingChoice();
    if (typedOutput.isEmpty()) {
        sink_.showMessage(RunTexts::OutputPathMissing);
        return;
    }
    const QString outputPath = canNameAFile(typedOutput) ? outputFilePath(typedOutput) : QString();
    if (outputPath.isEmpty()) {
        sink_.showMessage(RunTexts::CannotWriteOutput);
        return;
    }
    if (!canNameAFile(inputPath)) {
        sink_.showMessage(RunTexts::CannotReadInput);
        return;
    }
    if (isSameFile(inputPath, outputPath)) {
        sink_.showMessage(RunTexts::OutputIsInput);
        return;
    }
    DecodedInput input;
    if (!input.open(inputPath)) {
        sink_.showMessage(RunTexts::CannotReadInput);
        return;
    }
    EncodedFileWriter output(outputPath, encoding);
    if (!output.open()) {
        sink_.showMessage(RunTexts::CannotWriteOutput);
        return;
    }

    convertRows(input, output);

    if (input.failed()) {
        sink_.showMessage(RunTexts::CannotReadInput);  // the unfinished output is discarded
        return;
    }
    sink_.showFinished();
    if (!output.commit()) sink_.showMessage(RunTexts::CannotWriteOutput);
}

void ConversionRun::convertRows(DecodedInput& input, EncodedFileWriter& output) {
    LineReader lines(input);
    CsvRowReader rows(lines);
    CsvRow row;
    std::string records;
    std::int64_t count = 0;
    while (!output.failed() && rows.next(row)) {
        if (isDataRow(row.text)) {
            VCardRecord::appendTo(records, row.fields);
            records += "\r\n";
            if (records.size() >= WriteChunk) {
                output.write(records);
                records.clear();
            }
        }
        for (std::int64_t line = 0; line < row.lineCount; ++line) sink_.showCount(++count);
    }
    output.write(records);
}
