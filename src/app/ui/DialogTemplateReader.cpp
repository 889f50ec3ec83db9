#include "DialogTemplateReader.h"

#include <QJsonArray>
#include <QSet>

#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace {

constexpr int kMaxControlId = 0xFFFF;
constexpr int kMaxFontPoints = 72;

template <typename Enum>
struct NamedFlag {
    const char* name;
    Enum flag;
};

constexpr std::array<NamedFlag<ControlKind>, 6> kKindNames{{
    {"static", ControlKind::Static},
    {"button", ControlKind::Button},
    {"radio", ControlKind::RadioButton},
    {"edit", ControlKind::Edit},
    {"combo", ControlKind::ComboBox},
    {"groupbox", ControlKind::GroupBox},
}};

constexpr std::array<NamedFlag<ControlStyle>, 10> kControlStyleNames{{
    {"disabled", ControlStyle::Disabled},
    {"tabstop", ControlStyle::TabStop},
    {"group", ControlStyle::Group},
    {"centred", ControlStyle::Centred},
    {"right", ControlStyle::Right},
    {"border", ControlStyle::Border},
    {"dropdownlist", ControlStyle::DropDownList},
    {"vscroll", ControlStyle::VScroll},
    {"autohscroll", ControlStyle::AutoHScroll},
    {"hidden", ControlStyle::Hidden},
}};

constexpr std::array<NamedFlag<DialogStyle>, 8> kDialogStyleNames{{
    {"caption", DialogStyle::Caption},
    {"sysmenu", DialogStyle::SysMenu},
    {"sizing", DialogStyle::Sizing},
    {"minimize", DialogStyle::Minimize},
    {"maximize", DialogStyle::Maximize},
    {"centred", DialogStyle::Centred},
    {"appwindow", DialogStyle::AppWindow},
    {"modalframe", DialogStyle::ModalFrame},
}};

// Walks the JSON tree and remembers the first problem with the place it was found.
class TemplateReader {
public:
    QString error;

    bool fail(const QString& where, const QString& why)
    {
        error = where + QStringLiteral(": ") + why;
        return false;
    }

    bool onlyKeys(const QJsonObject& object, const QString& where, std::initializer_list<const char*> allowed)
    {
        for (const QString& key : object.keys()) {
            bool known = false;
            for (const char* name : allowed)
                known = known || key == QLatin1String(name);
            if (!known)
                return fail(where, QStringLiteral("unknown key \"%1\"").arg(key));
        }
        return true;
    }

    bool integer(const QJsonValue& value, const QString& where, int min, int max, int* out)
    {
        const double number = value.toDouble(std::numeric_limits<double>::quiet_NaN());
        if (!value.isDouble() || number != std::trunc(number) || number < min || number > max)
            return fail(where, QStringLiteral("expected an integer from %1 to %2").arg(min).arg(max));
        *out = int(number);
        return true;
    }

    // A value given once for both languages, or as {"en": ..., "zh": ...}.
    template <typename T, typename ReadOne>
    bool localised(const QJsonValue& value, const QString& where, Localised<T>* out, ReadOne readOne)
    {
        if (!value.isObject()) {
            if (!readOne(value, where, &out->english))
                return false;
            out->chinese = out->english;
            return true;
        }
        const QJsonObject object = value.toObject();
        if (!object.contains(QLatin1String("en")) || !object.contains(QLatin1String("zh")))
            return fail(where, QStringLiteral("a per-language value needs both \"en\" and \"zh\""));
        return onlyKeys(object, where, {"en", "zh"})
            && readOne(object.value(QLatin1String("en")), where + QStringLiteral(".en"), &out->english)
            && readOne(object.value(QLatin1String("zh")), where + QStringLiteral(".zh"), &out->chinese);
    }

    bool text(const QJsonValue& value, const QString& where, QString* out)
    {
        if (!value.isString())
            return fail(where, QStringLiteral("expected a text"));
        *out = value.toString();
        return true;
    }

    bool numbers(const QJsonValue& value, const QString& where, int* out, int count, const char* shape)
    {
        const QJsonArray array = value.toArray();
        if (!value.isArray() || array.size() != count)
            return fail(where, QStringLiteral("expected %1").arg(QLatin1String(shape)));
        for (int i = 0; i < count; ++i) {
            if (!integer(array.at(i), QStringLiteral("%1[%2]").arg(where).arg(i), 0, 0x7FFF, &out[i]))
                return false;
        }
        return true;
    }

    bool rect(const QJsonValue& value, const QString& where, QRect* out)
    {
        int n[4] = {};
        if (!numbers(value, where, n, 4, "[x, y, width, height] in dialog units"))
            return false;
        *out = QRect(n[0], n[1], n[2], n[3]);
        return true;
    }

    bool size(const QJsonValue& value, const QString& where, QSize* out)
    {
        int n[2] = {};
        if (!numbers(value, where, n, 2, "[width, height] in dialog units"))
            return false;
        if (n[0] == 0 || n[1] == 0)
            return fail(where, QStringLiteral("a dialog needs a width and a height above 0"));
        *out = QSize(n[0], n[1]);
        return true;
    }

    template <typename Enum, std::size_t N>
    bool name(const QJsonValue& value, const QString& where, const std::array<NamedFlag<Enum>, N>& names,
              Enum* out)
    {
        for (const NamedFlag<Enum>& entry : names) {
            if (value.toString() == QLatin1String(entry.name)) {
                *out = entry.flag;
                return true;
            }
        }
        QStringList known;
        for (const NamedFlag<Enum>& entry : names)
            known << QLatin1String(entry.name);
        return fail(where, QStringLiteral("unknown name \"%1\" (known: %2)")
                               .arg(value.isString() ? value.toString() : QStringLiteral("not a text"),
                                    known.join(QStringLiteral(", "))));
    }

    template <typename Enum, std::size_t N>
    bool flags(const QJsonValue& value, const QString& where, const std::array<NamedFlag<Enum>, N>& names,
               QFlags<Enum>* out)
    {
        if (value.isUndefined())
            return true;
        if (!value.isArray())
            return fail(where, QStringLiteral("expected a list of style names"));
        const QJsonArray array = value.toArray();
        for (int i = 0; i < array.size(); ++i) {
            Enum flag{};
            if (!name(array.at(i), QStringLiteral("%1[%2]").arg(where).arg(i), names, &flag))
                return false;
            *out |= flag;
        }
        return true;
    }

    bool control(const QJsonValue& value, const QString& where, ControlTemplate* out)
    {
        if (!value.isObject())
            return fail(where, QStringLiteral("expected an object"));
        const QJsonObject object = value.toObject();
        if (!onlyKeys(object, where, {"id", "kind", "style", "text", "rect"}))
            return false;
        if (object.contains(QLatin1String("id"))
            && !integer(object.value(QLatin1String("id")), where + QStringLiteral(".id"), 1, kMaxControlId, &out->id))
            return false;
        if (!object.contains(QLatin1String("kind")))
            return fail(where, QStringLiteral("missing \"kind\""));
        if (!object.contains(QLatin1String("rect")))
            return fail(where, QStringLiteral("missing \"rect\""));
        const auto readText = [this](const QJsonValue& v, const QString& w, QString* o) { return text(v, w, o); };
        const auto readRect = [this](const QJsonValue& v, const QString& w, QRect* o) { return rect(v, w, o); };
        return name(object.value(QLatin1String("kind")), where + QStringLiteral(".kind"), kKindNames, &out->kind)
            && flags(object.value(QLatin1String("style")), where + QStringLiteral(".style"), kControlStyleNames,
                     &out->styles)
            && (!object.contains(QLatin1String("text"))
                || localised(object.value(QLatin1String("text")), where + QStringLiteral(".text"), &out->text,
                             readText))
            && localised(object.value(QLatin1String("rect")), where + QStringLiteral(".rect"), &out->rect, readRect);
    }

    bool font(const QJsonValue& value, DialogTemplate* out)
    {
        const QString where = QStringLiteral("font");
        if (!value.isObject())
            return fail(where, QStringLiteral("expected {\"face\": text, \"points\": number}"));
        const QJsonObject object = value.toObject();
        if (!onlyKeys(object, where, {"face", "points"}))
            return false;
        if (!text(object.value(QLatin1String("face")), where + QStringLiteral(".face"), &out->fontFace))
            return false;
        if (out->fontFace.isEmpty())
            return fail(where + QStringLiteral(".face"), QStringLiteral("the font needs a face name"));
        return integer(object.value(QLatin1String("points")), where + QStringLiteral(".points"), 1, kMaxFontPoints,
                       &out->fontPoints);
    }

    bool dialog(const QJsonObject& root, DialogTemplate* out)
    {
        const QString top = QStringLiteral("template");
        if (!onlyKeys(root, top, {"dialog", "caption", "font", "style", "size", "controls"}))
            return false;
        for (const char* required : {"dialog", "font", "size", "controls"}) {
            if (!root.contains(QLatin1String(required)))
                return fail(top, QStringLiteral("missing \"%1\"").arg(QLatin1String(required)));
        }
        const auto readText = [this](const QJsonValue& v, const QString& w, QString* o) { return text(v, w, o); };
        const auto readSize = [this](const QJsonValue& v, const QString& w, QSize* o) { return size(v, w, o); };
        if (!integer(root.value(QLatin1String("dialog")), QStringLiteral("dialog"), 1, kMaxControlId, &out->id)
            || (root.contains(QLatin1String("caption"))
                && !localised(root.value(QLatin1String("caption")), QStringLiteral("caption"), &out->caption, readText))
            || !font(root.value(QLatin1String("font")), out)
            || !flags(root.value(QLatin1String("style")), QStringLiteral("style"), kDialogStyleNames, &out->styles)
            || !localised(root.value(QLatin1String("size")), QStringLiteral("size"), &out->size, readSize))
            return false;

        const QJsonValue controls = root.value(QLatin1String("controls"));
        if (!controls.isArray())
            return fail(QStringLiteral("controls"), QStringLiteral("expected a list of controls"));
        QSet<int> seenIds;
        const QJsonArray array = controls.toArray();
        for (int i = 0; i < array.size(); ++i) {
            const QString where = QStringLiteral("controls[%1]").arg(i);
            ControlTemplate control;
            if (!this->control(array.at(i), where, &control))
                return false;
            if (control.id != kNoControlId && seenIds.contains(control.id))
                return fail(where + QStringLiteral(".id"), QStringLiteral("id %1 is used twice").arg(control.id));
            seenIds.insert(control.id);
            out->controls.append(std::move(control));
        }
        return true;
    }
};

}  // namespace

bool DialogTemplateReader::read(const QJsonObject& root, DialogTemplate* out)
{
    TemplateReader reader;
    const bool ok = reader.dialog(root, out);
    m_error = reader.error;
    return ok;
}
