// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/Cp1250.h"

#include "gameconfig/Cp1250Text.h"

#include <algorithm>

QString DecodeCp1250(std::string_view bytes) {
    return QString::fromStdU16String(Cp1250ToUtf16(bytes));
}

std::optional<std::string> EncodeCp1250(const QString& text) {
    return Utf16ToCp1250(text.toStdU16String());
}

bool FitsCp1250(QChar character) {
    return FitsCp1250(character.unicode());
}

Cp1250Validator::Cp1250Validator(QObject* parent) : QValidator(parent) {}

QValidator::State Cp1250Validator::validate(QString& input, int& /*position*/) const {
    return std::all_of(input.begin(), input.end(), [](QChar c) { return FitsCp1250(c); })
               ? Acceptable
               : Invalid;
}
