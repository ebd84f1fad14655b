// The procedures an ODBC driver calls over RPC: sp_executesql and the
// sp_prepare family.
#include <algorithm>
#include <cstddef>

#include "execute/session_impl.h"
#include "parse/parser.h"
#include "procedures/procedure_args.h"
#include "values/collation.h"
#include "values/convert.h"
#include "values/sql_types.h"

namespace standin {

using namespace engine;

namespace {

// The arguments from `first` on: the values for a statement's parameters.
std::vector<Param> Rest(std::vector<Param> params, std::size_t first,
                        std::initializer_list<const char*> named) {
  std::vector<Param> out;
  for (std::size_t i = 0; i < params.size(); ++i) {
    bool fixed = false;
    for (const char* n : named)
      if (!params[i].name.empty() && CompareCi(params[i].name, n) == 0) fixed = true;
    if (fixed || (i < first && params[i].name.empty())) continue;
    out.push_back(std::move(params[i]));
  }
  return out;
}

struct Declared {
  std::string name;
  SqlType type;
};

std::vector<Declared> ParseDeclaration(const std::string& text) {
  std::vector<Declared> out;
  std::vector<Token> tokens = Lex(text, true);
  std::size_t i = 0;
  while (tokens[i].kind != TokenKind::End) {
    if (tokens[i].kind != TokenKind::Variable) throw SyntaxError(tokens[i].text);
    Declared d;
    d.name = tokens[i++].text;
    if (tokens[i].Is("AS")) ++i;
    std::size_t start = tokens[i].offset;
    int depth = 0;
    while (
        tokens[i].kind != TokenKind::End &&
        !(depth == 0 && (tokens[i].IsSymbol(",") || tokens[i].Is("OUTPUT") || tokens[i].Is("OUT") ||
                         tokens[i].Is("READONLY") || tokens[i].IsSymbol("=")))) {
      if (tokens[i].IsSymbol("(")) ++depth;
      if (tokens[i].IsSymbol(")")) --depth;
      ++i;
    }
    d.type = ParseTypeText(text.substr(start, tokens[i].offset - start),
                           static_cast<int>(out.size()) + 1);
    while (tokens[i].kind != TokenKind::End && !tokens[i].IsSymbol(",")) ++i;
    if (tokens[i].IsSymbol(",")) ++i;
    out.push_back(d);
  }
  return out;
}

}  // namespace

std::vector<Param> SessionImpl::BindDeclared(const std::string& declaration,
                                             std::vector<Param> values) {
  std::vector<Declared> declared = ParseDeclaration(declaration);
  std::vector<Param> out;
  std::size_t positional = 0;
  std::vector<const Param*> unnamed;
  for (const Param& v : values)
    if (v.name.empty()) unnamed.push_back(&v);
  if (values.size() > declared.size()) throw TooManyArguments("sp_executesql");
  for (const Declared& d : declared) {
    const Param* v = nullptr;
    for (const Param& p : values)
      if (!p.name.empty() && CompareCi(p.name, d.name) == 0) v = &p;
    if (!v && positional < unnamed.size()) v = unnamed[positional++];
    if (!v) throw MissingPreparedParameter(declaration, d.name);
    Value converted =
        Convert(v->value, v->type, d.type, ConvertMode::Explicit, functions_.date_order);
    SqlType type = d.type;
    type.nullable = true;
    out.push_back(Param{d.name, type, std::move(converted), v->output});
  }
  return out;
}

void SessionImpl::CallProcedure(const std::string& name, std::vector<Param> params,
                                ResultSink& sink) {
  std::string n = LowerCase(
      name.substr(name.find_last_of('.') == std::string::npos ? 0 : name.find_last_of('.') + 1));
  if (n == "sp_executesql") return ExecuteSql(std::move(params), sink);
  if (n == "sp_prepare") return Prepare(std::move(params), sink, false);
  if (n == "sp_prepexec") return Prepare(std::move(params), sink, true);
  if (n == "sp_execute") return Execute(std::move(params), sink);
  if (n == "sp_unprepare") return Unprepare(std::move(params), sink);
  if (n == "sp_pkeys") return PrimaryKeys(std::move(params), sink);
  if (n == "sp_columns") return Columns(std::move(params), sink);
  if (n == "sp_tables") return Tables(std::move(params), sink);
  if (n == "sp_statistics") return Statistics(std::move(params), sink);
  if (n == "sp_special_columns") return SpecialColumns(std::move(params), sink);
  if (n == "sp_datatype_info" || n == "sp_datatype_info_90" || n == "sp_datatype_info_100")
    return TypeInfo(std::move(params), sink);
  throw UnknownProcedure(name);
}

void SessionImpl::ExecuteSql(std::vector<Param> params, ResultSink& sink) {
  // SQL Server takes the statement and its declaration by position whatever
  // names a client gives them (@stmt, @statement, @params, none): only the
  // statement's own parameters are matched by name.
  if (params.empty()) throw MissingParameter("sp_executesql", "@statement");
  std::string sql = ArgText(&params[0]);
  std::string declaration = params.size() > 1 ? ArgText(&params[1]) : std::string();
  params.erase(params.begin(), params.begin() + std::min<std::ptrdiff_t>(2, params.size()));
  std::vector<Param> variables = BindDeclared(declaration, std::move(params));
  std::vector<Param> after = RunBatch(sql, std::move(variables), sink);
  sink.ReturnStatus(0);
  for (const Param& p : after)
    if (p.output) sink.ReturnValue(p);
}

void SessionImpl::Prepare(std::vector<Param> params, ResultSink& sink, bool execute) {
  const Param* handle_param = Arg(params, 0, "@handle");
  std::string handle_name = handle_param ? handle_param->name : "@handle";
  std::string declaration = ArgText(Arg(params, 1, "@params"));
  const Param* stmt = Arg(params, 2, "@stmt");
  if (!stmt) throw MissingParameter(execute ? "sp_prepexec" : "sp_prepare", "@stmt");
  std::string sql = ArgText(stmt);
  std::vector<Statement> parsed = ParseBatch(sql, quoted_identifier_);
  std::vector<Declared> declared = ParseDeclaration(declaration);
  std::int32_t handle = next_handle_++;
  prepared_[handle] = Prepared{declaration, sql};
  if (execute) {
    std::vector<Param> values =
        BindDeclared(declaration, Rest(std::move(params), 3, {"@handle", "@params", "@stmt"}));
    RunBatch(sql, std::move(values), sink);
  } else if (parsed.size() == 1 &&
             std::holds_alternative<std::shared_ptr<engine::Select>>(parsed[0].body)) {
    // Describe the result set, as SQL Server does for a prepared query.
    std::vector<Param> saved = std::move(variables_);
    for (const Declared& d : declared) variables_.push_back(Param{d.name, d.type, Value{}, false});
    try {
      Translator t(*this);
      std::string ignored;
      std::vector<Column> columns =
          t.Query(*std::get<std::shared_ptr<engine::Select>>(parsed[0].body), nullptr, ignored);
      variables_ = std::move(saved);
      sink.Columns(columns);
      sink.Done(StatementDone{});
    } catch (...) {
      variables_ = std::move(saved);
      throw;
    }
  }
  sink.ReturnStatus(0);
  SqlType int_type = MakeType(TypeId::Int);
  sink.ReturnValue(Param{handle_name, int_type, std::int64_t{handle}, true});
}

void SessionImpl::Execute(std::vector<Param> params, ResultSink& sink) {
  std::int32_t handle = ArgInt(Arg(params, 0, "@handle"));
  auto it = prepared_.find(handle);
  if (it == prepared_.end()) throw UnknownHandle(handle);
  Prepared prepared = it->second;
  std::vector<Param> values =
      BindDeclared(prepared.declaration, Rest(std::move(params), 1, {"@handle"}));
  RunBatch(prepared.sql, std::move(values), sink);
  sink.ReturnStatus(0);
}

void SessionImpl::Unprepare(std::vector<Param> params, ResultSink& sink) {
  prepared_.erase(ArgInt(Arg(params, 0, "@handle")));
  sink.ReturnStatus(0);
}

}  // namespace standin
