// SPDX-FileCopyrightText: 2026 Zeluvar developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>

#include "output_writers.h"

// Where each control of the window stands: the one table the window is built from, and that the
// checks of its layout read.
namespace WindowLayout {

enum class Kind { Frame, OptionGroup, WrappingLabel, Label, TextBox, OptionButton, PushButton };
enum class Parent { Form1, Frame1, OptionGroup };
constexpr int NoIndex = -1;

struct Entry {
    const char* name;
    int index;  // member of an indexed group, or NoIndex
    Kind kind;
    const char16_t* text;
    QRect geometry;  // pixels, relative to Frame1 for the controls inside it, even in the group
    int tabIndex;
    Parent parent;

    QString objectName() const {
        const QString plain = QString::fromLatin1(name);
        return index == NoIndex ? plain : QStringLiteral("%1(%2)").arg(plain).arg(index);
    }
};

// clang-format off
inline constexpr const char16_t* Instructions =
    u"    本工具是EXCEL CSV 文件格式通讯录转换成手机通讯录(联系人)导入文件 VCard文件转换工具，"
    u"转换时你只要将包含“姓名,公司名称,业务电话,住宅电话,手机”这几个字段的EXCEL 表格，"
    u"先另存为CSV文件，再将此文件拖到软件下面的CSV文件地址输入框，再选择一种生成编码格式，"
    u"安卓手机一般默认支持UTF-8不带BOM编码的VCard文件，再点击执行按钮，稍等片刻，"
    u"程序就会转换好你需要的文件，再保存到手机，通过联系人或通讯簿导入了，"
    u"导入前建议先备份原来的通讯录!";
// clang-format on

// The window as drawn at 96 dots per inch; self-sizing labels take their size from their text.
// The Option1 buttons offer the output encodings in their table's order.
// clang-format off
inline constexpr Entry Controls[] = {
    // name        index    kind                 text                       left top  width height tab  parent
    {"Frame1",    NoIndex, Kind::Frame,         u"",                        {14, 14, 561, 243},  0, Parent::Form1},
    {"Label2",    NoIndex, Kind::WrappingLabel, Instructions,               {14, 21, 533, 71},  12, Parent::Frame1},
    {"Label1",    0,       Kind::Label,         u"CSV文件地址：",            {16, 102, 78, 12},    2, Parent::Frame1},
    {"csvfile",   NoIndex, Kind::TextBox,       u"请直接将文件拖入",         {104, 94, 441, 25},   1, Parent::Frame1},
    {"Label1",    1,       Kind::Label,         u"生成文件地址：",           {16, 138, 84, 12},    3, Parent::Frame1},
    {"vcardfile", NoIndex, Kind::TextBox,       u"",                        {104, 134, 441, 25},  4, Parent::Frame1},
    {"Label1",    4,       Kind::Label,         u"生成编码格式：",           {16, 174, 84, 12},    9, Parent::Frame1},
    {"Option1Group", NoIndex, Kind::OptionGroup, u"",                      {128, 170, 425, 25}, NoIndex, Parent::Frame1},
    {"Option1",   0,       Kind::OptionButton,  OutputEncodings[0].caption, {133, 175, 57, 15},   8, Parent::OptionGroup},
    {"Option1",   1,       Kind::OptionButton,  OutputEncodings[1].caption, {245, 175, 106, 15}, 10, Parent::OptionGroup},
    {"Option1",   2,       Kind::OptionButton,  OutputEncodings[2].caption, {385, 175, 141, 15}, 11, Parent::OptionGroup},
    {"Label1",    2,       Kind::Label,         u"当前处理进度：",           {16, 210, 84, 12},    6, Parent::Frame1},
    {"Label1",    3,       Kind::Label,         u"",                        {133, 210, 6, 12},    7, Parent::Frame1},
    {"Command1",  NoIndex, Kind::PushButton,    u"执行",                    {252, 273, 89, 25},   5, Parent::Form1},
};
// clang-format on

}  // namespace WindowLayout
