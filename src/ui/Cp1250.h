// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QValidator>
#include <optional>
#include <string>
#include <string_view>

// The game's Windows-1250 text (gameconfig/Cp1250Text.h) as Qt's text, and the text boxes'
// validator.

QString DecodeCp1250(std::string_view bytes);

// The bytes of `text`, or nothing when a character has no byte in Windows-1250.
std::optional<std::string> EncodeCp1250(const QString& text);

bool FitsCp1250(QChar character);

// Refuses, as it is typed or pasted, any text with a character that Windows-1250 cannot hold, so
// that nothing a text box shows is changed on its way into the file.
class Cp1250Validator : public QValidator {
    Q_OBJECT

public:
    explicit Cp1250Validator(QObject* parent = nullptr);

    State validate(QString& input, int& position) const override;
};
