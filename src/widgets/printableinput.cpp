#include "widgets/printableinput.h"

#include <QLineEdit>
#include <QValidator>

namespace {

class PrintableValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override
    {
        for (qsizetype i = input.size() - 1; i >= 0; --i)
            if (input.at(i).category() == QChar::Other_Control) {
                input.remove(i, 1);
                if (i < position)
                    --position;
            }
        return Acceptable;
    }
};

} // namespace

void widgets::AcceptPrintableOnly(QLineEdit *field) { field->setValidator(new PrintableValidator(field)); }
