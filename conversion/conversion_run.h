// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <cstdint>

#include "output_writers.h"

class DecodedInput;

// What a conversion run needs from the window that started it.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;

    virtual QString readInputPath() = 0;
    virtual QString readOutputPath() = 0;
    virtual OutputEncoding readEncodingChoice() = 0;
    // Lines read so far, blank and heading lines included.
    virtual void showCount(std::int64_t lines) = 0;
    virtual void showFinished() = 0;
    virtual void showMessage(const QString& text) = 0;
    // Lets the window handle the events already waiting, once.
    virtual void processPendingEvents() = 0;
};

// The texts a run shows; they are the product's own, spaces included.
namespace RunTexts {
inline const QString FileMissing = QStringLiteral(u"文件不存在!   ");
inline const QString OutputPathMissing = QStringLiteral(u"请先填写生成文件地址!");
inline const QString OutputIsInput = QStringLiteral(u"生成文件不能与CSV文件相同!");
inline const QString CannotReadInput = QStringLiteral(u"无法读取CSV文件!");
inline const QString CannotWriteOutput = QStringLiteral(u"无法写入生成文件!");
inline const QString Finished = QStringLiteral(u"处理结束");
}  // namespace RunTexts

// One press of Execute: converts the CSV contact list named by the sink into a vCard 2.1 file.
// Records go to the output as they are made, so memory use does not grow with the file.
class ConversionRun {
public:
    explicit ConversionRun(ProgressSink& sink) : sink_(sink) {}

    void execute();

private:
    void convertRows(DecodedInput& input, EncodedFileWriter& output);

    ProgressSink& sink_;
};
