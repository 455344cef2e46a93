#include "wire/ChangeLog.h"

#include "wire/FieldListReader.h"
#include "wire/JsonOut.h"
#include "wire/JsonSax.h"

namespace wire {
namespace {

// {"fields":[...],"changes":[{"kind":"insert","new":[...]},{"kind":"modify","old":[...],"new":[...]},
//  {"kind":"delete","old":[...]}]}
class ChangeLogHandler : public detail::SaxBase {
  public:
    explicit ChangeLogHandler(ChangeLog& log) : m_log(log) {}

    bool Null() { return m_where == Where::Values ? value(std::nullopt) : unexpected(); }
    bool Bool(bool) { return unexpected(); }
    bool Int(int i) { return number(i); }
    bool Uint(unsigned u) { return number(u); }
    bool Int64(std::int64_t i) { return number(i); }
    bool Uint64(std::uint64_t) { return unexpected(); }
    bool Double(double) { return unexpected(); }
    bool RawNumber(const char*, rapidjson::SizeType, bool) { return unexpected(); }

    bool String(const char* str, rapidjson::SizeType length, bool) {
        std::string_view text(str, length);
        if (!checkText(text)) return false;
        switch (m_where) {
            case Where::Values:
                return value(std::string(text));
            case Where::Field:
                return check(m_fieldList.text(text));
            case Where::Change:
                if (m_key != "kind") return unexpected();
                if (m_hasKind) return bad("tipo de alteração repetido");
                m_hasKind = true;
                if (text == "insert")
                    m_change.kind = ChangeKind::Insert;
                else if (text == "modify")
                    m_change.kind = ChangeKind::Modify;
                else if (text == "delete")
                    m_change.kind = ChangeKind::Delete;
                else
                    return bad("tipo de alteração desconhecido \"" +
                               std::string(text.substr(0, 20)) + "\"");
                return true;
            default:
                return unexpected();
        }
    }

    bool StartObject() {
        if (!enter()) return false;
        switch (m_where) {
            case Where::Start:
                m_where = Where::Root;
                return true;
            case Where::Fields:
                m_where = Where::Field;
                m_fieldList.begin();
                return true;
            case Where::Changes:
                m_where = Where::Change;
                m_change = {};
                m_hasKind = m_hasOld = m_hasNew = false;
                return true;
            default:
                return unexpected();
        }
    }

    bool Key(const char* str, rapidjson::SizeType length, bool) {
        std::string_view key(str, length);
        if (m_where == Where::Root) {
            if (key == "fields" && !m_seenFields) return true;
            if (key == "changes" && m_seenFields && !m_seenChanges) return true;
            return bad("membro inesperado");
        }
        if (m_where == Where::Field) return check(m_fieldList.key(key));
        if (m_where == Where::Change) {
            if (key != "kind" && key != "old" && key != "new")
                return bad("membro inesperado numa alteração");
            m_key = key;
            return true;
        }
        return unexpected();
    }

    bool EndObject(rapidjson::SizeType) {
        leave();
        if (m_where == Where::Field) {
            m_where = Where::Fields;
            return check(m_fieldList.end());
        }
        if (m_where == Where::Change) {
            m_where = Where::Changes;
            return finishChange();
        }
        if (!m_seenFields || !m_seenChanges) return bad("faltam campos ou alterações");
        m_log.fields = std::move(m_fieldList.fields());
        m_where = Where::Done;
        return true;
    }

    bool StartArray() {
        if (!enter()) return false;
        if (m_where == Where::Root && !m_seenFields) {
            m_seenFields = true;
            m_where = Where::Fields;
            return true;
        }
        if (m_where == Where::Root) {
            m_seenChanges = true;
            m_where = Where::Changes;
            return true;
        }
        if (m_where == Where::Change && (m_key == "old" || m_key == "new")) {
            bool& seen = m_key == "old" ? m_hasOld : m_hasNew;
            if (seen) return bad("valores repetidos numa alteração");
            seen = true;
            m_target = m_key == "old" ? &m_change.oldValues : &m_change.newValues;
            m_where = Where::Values;
            return true;
        }
        return unexpected();
    }

    bool EndArray(rapidjson::SizeType) {
        leave();
        if (m_where == Where::Values) {
            if (m_target->size() != fields().size())
                return bad("número de valores diferente do de campos");
            m_where = Where::Change;
            return true;
        }
        m_where = Where::Root;
        return true;
    }

  private:
    enum class Where { Start, Root, Fields, Field, Changes, Change, Values, Done };

    const std::vector<FieldDef>& fields() const { return m_fieldList.fields(); }

    bool number(std::int64_t n) {
        return m_where == Where::Field ? check(m_fieldList.number(n)) : unexpected();
    }

    bool value(Value v) {
        std::size_t column = m_target->size();
        if (column >= fields().size()) return bad("valores demais numa alteração");
        if (v && !check(detail::checkValue(fields()[column], *v))) return false;
        m_target->push_back(std::move(v));
        return true;
    }

    bool finishChange() {
        if (!m_hasKind) return bad("alteração sem tipo");
        bool needOld = m_change.kind != ChangeKind::Insert;
        bool needNew = m_change.kind != ChangeKind::Delete;
        if (m_hasOld != needOld || m_hasNew != needNew)
            return bad("valores \"old\"/\"new\" não conferem com o tipo");
        m_log.changes.push_back(std::move(m_change));
        return true;
    }

    bool unexpected() { return bad("valor fora do lugar"); }
    bool check(const std::string& error) { return error.empty() || bad(error); }
    bool bad(std::string message) {
        return fail(ErrorCode::BadPacket, "Registro de alterações inválido: " + message + ".");
    }

    ChangeLog& m_log;
    Where m_where = Where::Start;
    bool m_seenFields = false;
    bool m_seenChanges = false;
    detail::FieldListReader m_fieldList;
    Change m_change;
    std::string m_key;
    bool m_hasKind = false;
    bool m_hasOld = false;
    bool m_hasNew = false;
    std::vector<Value>* m_target = nullptr;
};

const char* kindName(ChangeKind kind) {
    switch (kind) {
        case ChangeKind::Insert:
            return "insert";
        case ChangeKind::Modify:
            return "modify";
        case ChangeKind::Delete:
            return "delete";
    }
    return "";
}

}  // namespace

Result<ChangeLog> ChangeLog::fromJson(std::string_view json) {
    ChangeLog log;
    ChangeLogHandler handler(log);
    Status s = detail::parse(json, handler);
    if (!s.isOk()) return s;
    return log;
}

std::string ChangeLog::toJson() const {
    std::string out;
    ChangeLogWriter writer(out);
    writer.fields(fields);
    for (const Change& c : changes) {
        switch (c.kind) {
            case ChangeKind::Insert:
                writer.inserted(detail::views(c.newValues));
                break;
            case ChangeKind::Modify:
                writer.modified(detail::views(c.oldValues), detail::views(c.newValues));
                break;
            case ChangeKind::Delete:
                writer.deleted(detail::views(c.oldValues));
                break;
        }
    }
    writer.finish();
    return out;
}

struct ChangeLogWriter::Impl {
    explicit Impl(std::string& o) : out(o), writer(buffer) {}
    void change(ChangeKind kind, std::span<const ValueView> oldValues,
                std::span<const ValueView> newValues) {
        writer.StartObject();
        writer.Key("kind");
        writer.String(kindName(kind));
        if (kind != ChangeKind::Insert) {
            writer.Key("old");
            detail::writeValues(writer, oldValues);
        }
        if (kind != ChangeKind::Delete) {
            writer.Key("new");
            detail::writeValues(writer, newValues);
        }
        writer.EndObject();
    }
    std::string& out;
    detail::JsonBuffer buffer;
    detail::JsonWriter writer;
    bool finished = false;
};

ChangeLogWriter::ChangeLogWriter(std::string& out) : m_impl(std::make_unique<Impl>(out)) {}
ChangeLogWriter::~ChangeLogWriter() = default;

void ChangeLogWriter::fields(const std::vector<FieldDef>& fields) {
    m_impl->writer.StartObject();
    detail::writeFields(m_impl->writer, fields);
    m_impl->writer.Key("changes");
    m_impl->writer.StartArray();
}

void ChangeLogWriter::inserted(std::span<const ValueView> newValues) {
    m_impl->change(ChangeKind::Insert, {}, newValues);
}

void ChangeLogWriter::modified(std::span<const ValueView> oldValues,
                               std::span<const ValueView> newValues) {
    m_impl->change(ChangeKind::Modify, oldValues, newValues);
}

void ChangeLogWriter::deleted(std::span<const ValueView> oldValues) {
    m_impl->change(ChangeKind::Delete, oldValues, {});
}

void ChangeLogWriter::finish() {
    if (m_impl->finished) return;
    m_impl->writer.EndArray();
    m_impl->writer.EndObject();
    m_impl->out.append(m_impl->buffer.GetString(), m_impl->buffer.GetSize());
    m_impl->finished = true;
}

}  // namespace wire
