#include "VQMaskEdit.h"

#include <QFocusEvent>

TVQMaskEdit::TVQMaskEdit(QWidget *Parent) : TEdit(Parent) {}

void TVQMaskEdit::SetEditMask(const QString &Value) {
    FEditMask = Value;
    setInputMask(ToInputMask(Value));
}

QSize TVQMaskEdit::sizeHint() const {
    QSize size = TEdit::sizeHint();
    if (!FEditMask.isEmpty()) {
        const int text = fontMetrics().horizontalAdvance(QString(displayText().size() + 3, QLatin1Char('0')));
        size.setWidth(std::max(size.width(), text));
    }
    return size;
}

void TVQMaskEdit::focusInEvent(QFocusEvent *Event) {
    TEdit::focusInEvent(Event);
    if (!FEditMask.isEmpty() && (Event->reason() == Qt::TabFocusReason || Event->reason() == Qt::BacktabFocusReason ||
                                 Event->reason() == Qt::ShortcutFocusReason))
        selectAll();
}

bool TVQMaskEdit::IsValid() {
    bool valid = FEditMask.isEmpty() || hasAcceptableInput();
    if (OnValidate)
        OnValidate(this, EditText(), valid);
    return valid;
}

QString TVQMaskEdit::ToInputMask(const QString &EditMask) {
    static const QString QtSpecial = QStringLiteral("AaNnXx90Dd#HhBb><![]{}\\;");
    QString mask;
    qsizetype i = 0;
    for (; i < EditMask.size() && EditMask[i] != ';'; ++i) {
        const QChar c = EditMask[i];
        switch (c.unicode()) {
        case 'L': mask += 'A'; break;
        case 'l': mask += 'a'; break;
        case 'A': mask += 'N'; break;
        case 'a': mask += 'n'; break;
        case 'C': mask += 'X'; break;
        case 'c': mask += 'x'; break;
        case '0': mask += '9'; break;
        case '9': mask += '0'; break;
        case '#': mask += '#'; break;
        case '>': mask += '>'; break;
        case '<':
            if (i + 1 < EditMask.size() && EditMask[i + 1] == '>') {
                mask += '!';
                ++i;
            } else {
                mask += '<';
            }
            break;
        case '!': // how blanks are stored: nothing to show
            break;
        case '\\':
            if (++i < EditMask.size()) {
                if (QtSpecial.contains(EditMask[i]))
                    mask += '\\';
                mask += EditMask[i];
            }
            break;
        default:
            if (QtSpecial.contains(c))
                mask += '\\';
            mask += c;
        }
    }
    if (mask.isEmpty())
        return {};
    // The fields after the mask: whether literals are saved (Qt always keeps them), then the blank.
    const QStringList fields = EditMask.mid(i).split(';');
    if (fields.size() > 2 && !fields[2].isEmpty())
        mask += ';' + fields[2].left(1);
    return mask;
}
