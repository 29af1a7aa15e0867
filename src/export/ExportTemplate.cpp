#include "export/ExportTemplate.h"

namespace {

struct Placeholder
{
    QStringView text;
    ExportTemplate::Kind kind;
    int field;
};

// Matched exactly: "%Artist%" is no placeholder and stays in the lines as written.
const Placeholder kPlaceholders[] = {
    {u"%123%", ExportTemplate::Kind::Number, 0},
    {u"%interpret%", ExportTemplate::Kind::Field, 0},
    {u"%artist%", ExportTemplate::Kind::Field, 0},
    {u"%titel%", ExportTemplate::Kind::Field, 1},
    {u"%title%", ExportTemplate::Kind::Field, 1},
    {u"%länge%", ExportTemplate::Kind::Field, 2},
    {u"%length%", ExportTemplate::Kind::Field, 2},
    {u"%album%", ExportTemplate::Kind::Field, 3},
    {u"%track%", ExportTemplate::Kind::Field, 4},
    {u"%jahr%", ExportTemplate::Kind::Field, 5},
    {u"%year%", ExportTemplate::Kind::Field, 5},
    {u"%genre%", ExportTemplate::Kind::Field, 6},
    {u"%pfad%", ExportTemplate::Kind::Field, 7},
    {u"%path%", ExportTemplate::Kind::Field, 7},
    {u"%dateiname%", ExportTemplate::Kind::FileName, 0},
    {u"%filename%", ExportTemplate::Kind::FileName, 0},
    {u"%tab%", ExportTemplate::Kind::Tab, 0},
};

} // namespace

ExportTemplate ExportTemplate::compile(QStringView text)
{
    ExportTemplate t;
    auto literal = [&t](QStringView s) {
        t.m_tokens.append({Kind::Literal, int(t.m_literals.size())});
        t.m_literals.append(s.toString());
    };
    while (!text.isEmpty()) {
        if (text.front() != QLatin1Char('%')) {
            qsizetype end = text.indexOf(QLatin1Char('%'));
            if (end < 0)
                end = text.size();
            literal(text.first(end));
            text = text.sliced(end);
            continue;
        }
        const Placeholder *found = nullptr;
        for (const Placeholder &p : kPlaceholders)
            if (text.startsWith(p.text)) {
                found = &p;
                break;
            }
        if (found) {
            t.m_tokens.append({found->kind, found->field});
            text = text.sliced(found->text.size());
        } else {
            literal(text.first(1));
            text = text.sliced(1);
        }
    }
    return t;
}
