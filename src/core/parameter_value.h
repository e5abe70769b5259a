#pragma once

#include <QString>

#include <optional>

namespace kinetra {

// One slot of the parameter table: empty, a number or a text. The parameter file writer quotes
// texts and writes numbers bare, so the kind must survive.
class ParameterValue {
public:
    enum class Kind { Empty, Number, Text };

    ParameterValue() = default;
    static ParameterValue number(qint64 n)
    {
        ParameterValue v;
        v.kind_ = Kind::Number;
        v.number_ = n;
        return v;
    }
    static ParameterValue text(const QString& t)
    {
        ParameterValue v;
        v.kind_ = Kind::Text;
        v.text_ = t;
        return v;
    }

    Kind kind() const { return kind_; }
    bool isEmpty() const { return kind_ == Kind::Empty; }
    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }

    // Decimal text of a number, the text itself, or "" when empty.
    QString toText() const { return kind_ == Kind::Number ? QString::number(number_) : text_; }
    // The value as a whole number: a number as it is, a text when it is an integer text (blanks
    // around it allowed); otherwise none.
    std::optional<qint64> toInteger() const
    {
        if (kind_ == Kind::Number)
            return number_;
        if (kind_ == Kind::Text) {
            bool ok = false;
            const qint64 n = text_.trimmed().toLongLong(&ok);
            if (ok)
                return n;
        }
        return std::nullopt;
    }

    bool operator==(const ParameterValue& other) const
    {
        return kind_ == other.kind_ && number_ == other.number_ && text_ == other.text_;
    }

private:
    Kind kind_ = Kind::Empty;
    qint64 number_ = 0;
    QString text_;
};

} // namespace kinetra
