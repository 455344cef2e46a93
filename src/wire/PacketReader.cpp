#include "wire/PacketReader.h"

#include "wire/FieldListReader.h"
#include "wire/JsonSax.h"

namespace wire {
namespace {

// {"fields":[{"name":"X","size":10},...],"rows":[["v",null,...],...]}
class PacketHandler : public detail::SaxBase {
  public:
    explicit PacketHandler(PacketSink& sink) : m_sink(sink) {}

    bool Null() {
        if (m_where != Where::Row) return unexpected("null");
        return value(std::nullopt);
    }
    bool Bool(bool) { return unexpected("um booleano"); }
    bool Int(int i) { return number(i); }
    bool Uint(unsigned u) { return number(static_cast<std::int64_t>(u)); }
    bool Int64(std::int64_t i) { return number(i); }
    bool Uint64(std::uint64_t) { return unexpected("um número"); }
    bool Double(double) { return unexpected("um número"); }
    bool RawNumber(const char*, rapidjson::SizeType, bool) { return unexpected("um número"); }

    bool String(const char* str, rapidjson::SizeType length, bool) {
        std::string_view text(str, length);
        if (!checkText(text)) return false;
        if (m_where == Where::Row) return value(text);
        if (m_where == Where::Field) return check(m_fieldList.text(text));
        return unexpected("um texto");
    }

    bool StartObject() {
        if (!enter()) return false;
        if (m_where == Where::Start) {
            m_where = Where::Root;
            return true;
        }
        if (m_where == Where::Fields) {
            m_where = Where::Field;
            m_fieldList.begin();
            return true;
        }
        return unexpected("um objeto");
    }

    bool Key(const char* str, rapidjson::SizeType length, bool) {
        std::string_view key(str, length);
        if (m_where == Where::Root) {
            if (key == "fields" && !m_seenFields) {
                m_pending = Where::Fields;
                return true;
            }
            if (key == "rows" && m_seenFields && !m_seenRows) {
                m_pending = Where::Rows;
                return true;
            }
            return bad(std::string("membro inesperado \"") + std::string(key).substr(0, 40) + "\"");
        }
        if (m_where == Where::Field) return check(m_fieldList.key(key));
        return bad("membro inesperado");
    }

    bool EndObject(rapidjson::SizeType) {
        leave();
        if (m_where == Where::Field) {
            m_where = Where::Fields;
            return check(m_fieldList.end());
        }
        // Root closes.
        if (!m_seenFields) return bad("falta a lista de campos");
        if (!m_seenRows) {
            Status s = m_sink.onFields(fields());
            if (!s.isOk()) return fail(ErrorCode::BadPacket, s.message());
        }
        m_where = Where::Done;
        return true;
    }

    bool StartArray() {
        if (!enter()) return false;
        if (m_where == Where::Root && m_pending == Where::Fields) {
            m_where = Where::Fields;
            m_seenFields = true;
            return true;
        }
        if (m_where == Where::Root && m_pending == Where::Rows) {
            m_where = Where::Rows;
            m_seenRows = true;
            Status s = m_sink.onFields(fields());
            if (!s.isOk()) return fail(ErrorCode::BadPacket, s.message());
            return true;
        }
        if (m_where == Where::Rows) {
            m_where = Where::Row;
            m_values.clear();
            return true;
        }
        return unexpected("uma lista");
    }

    bool EndArray(rapidjson::SizeType) {
        leave();
        if (m_where == Where::Fields) {
            m_where = Where::Root;
            m_pending = Where::Root;
            return true;
        }
        if (m_where == Where::Rows) {
            m_where = Where::Root;
            m_pending = Where::Root;
            return true;
        }
        // Row closes.
        if (m_values.size() != fields().size()) {
            return bad("linha " + std::to_string(m_rowCount + 1) + " com " +
                       std::to_string(m_values.size()) + " valores para " +
                       std::to_string(fields().size()) + " campos");
        }
        ++m_rowCount;
        m_where = Where::Rows;
        Status s = m_sink.onRow(m_values);
        if (!s.isOk()) return fail(ErrorCode::BadPacket, s.message());
        return true;
    }

  private:
    enum class Where { Start, Root, Fields, Field, Rows, Row, Done };

    bool number(std::int64_t n) {
        if (m_where == Where::Field) return check(m_fieldList.number(n));
        return unexpected("um número");
    }

    const std::vector<FieldDef>& fields() const { return m_fieldList.fields(); }
    bool check(const std::string& error) { return error.empty() || bad(error); }

    bool value(ValueView v) {
        std::size_t column = m_values.size();
        if (column >= fields().size()) {
            return bad("linha " + std::to_string(m_rowCount + 1) + " com valores demais");
        }
        m_values.push_back(v);
        return !v || check(detail::checkValue(fields()[column], *v));
    }

    bool unexpected(const char* what) {
        return bad(std::string("encontrado ") + what + " fora do lugar");
    }
    bool bad(std::string message) {
        return fail(ErrorCode::BadPacket, "Pacote de dados inválido: " + message + ".");
    }

    PacketSink& m_sink;
    Where m_where = Where::Start;
    Where m_pending = Where::Root;
    bool m_seenFields = false;
    bool m_seenRows = false;
    detail::FieldListReader m_fieldList;
    std::vector<ValueView> m_values;
    std::size_t m_rowCount = 0;
};

}  // namespace

Status readPacket(std::string_view json, PacketSink& sink) {
    // Parsed in a private copy so each row's values can be handed over as views. The SIMD scanner
    // reads aligned 16-byte blocks, so the copy is padded to keep every read inside it.
    std::string buffer;
    buffer.reserve(json.size() + 64);
    buffer.assign(json);
    PacketHandler handler(sink);
    return detail::parseInPlace(buffer, handler);
}

}  // namespace wire
