// Translation of SELECT statements: FROM sources, select lists, grouping,
// ordering, TOP and UNION.
#include <algorithm>
#include <cctype>

#include "errors.h"
#include "storage/sqlite_db.h"
#include "translate/translator.h"
#include "values/collation.h"
#include "values/sql_types.h"

namespace standin::engine {

namespace {

bool IsOrdinal(const Expr& e) {
  return e.kind == ExprKind::Literal && e.token.kind == TokenKind::Number &&
         e.token.text.find_first_not_of("0123456789") == std::string::npos;
}

}  // namespace

bool UsesCollation(const SqlType& type) {
  return IsCharacter(type.id);
}

std::string Translator::Bind(const Value& storage_value) {
  binds_.push_back(storage_value);
  return "?" + std::to_string(binds_.size());
}

Source Translator::TableSource(const TableInfo& table, const std::string& alias,
                               const std::string& sql_alias) {
  Source s;
  s.sql_alias = sql_alias;
  s.table = table.SqliteName();
  s.exposed = alias.empty() ? table.name : alias;
  s.columns = table.columns;
  return s;
}

std::string Translator::SourceFor(const TableRef& ref, Scope& scope) {
  std::string alias = NextAlias();
  if (ref.derived) {
    std::string sql;
    Scope empty;
    std::vector<Column> cols = Query(*ref.derived, scope.outer, sql);
    Source s;
    s.sql_alias = alias;
    s.exposed = ref.alias;
    for (const Column& c : cols) {
      if (c.name.empty())
        throw BatchAbort(Msg(8155, 16, 2,
                             "No column name was specified for column " +
                                 std::to_string(s.columns.size() + 1) + " of '" + ref.alias +
                                 "'."));
      ColumnInfo info;
      info.name = c.name;
      info.type = c.type;
      s.columns.push_back(info);
    }
    scope.sources.push_back(std::move(s));
    return "(" + sql + ") AS " + alias;
  }
  TableInfo table = resolver_.Table(ref.name);
  scope.sources.push_back(TableSource(table, ref.alias, alias));
  return table.SqliteName() + " AS " + alias;
}

std::string Translator::FromClause(const std::vector<FromItem>& from, Scope& scope) {
  std::string sql;
  for (const FromItem& item : from) {
    if (!sql.empty()) sql += ", ";
    sql += SourceFor(item.first, scope);
    for (const Join& j : item.joins) {
      std::string kind = j.kind == "INNER" ? " JOIN " : " " + j.kind + " JOIN ";
      if (j.kind == "LEFT" || j.kind == "RIGHT" || j.kind == "FULL")
        kind = " " + j.kind + " OUTER JOIN ";
      sql += kind + SourceFor(j.table, scope);
      if (j.on) sql += " ON " + Condition(*j.on, scope);
    }
  }
  return sql;
}

std::vector<Column> Translator::Core(const Select& s, const Scope* outer, std::string& sql,
                                     std::vector<std::string>& item_sql, Scope& scope,
                                     std::vector<bool>& untyped) {
  scope.outer = outer;
  std::string from = s.from.empty() ? "" : FromClause(s.from, scope);
  std::vector<Column> columns;
  for (const SelectItem& item : s.items) {
    if (item.star) {
      bool any = false;
      for (const Source& src : scope.sources) {
        if (!item.star_qualifier.empty() && CompareCi(src.exposed, item.star_qualifier.back()) != 0)
          continue;
        any = true;
        for (const ColumnInfo& c : src.columns) {
          item_sql.push_back(src.sql_alias + "." + QuoteName(c.name));
          columns.push_back(Column{c.name, c.type});
          untyped.push_back(false);
        }
      }
      if (!any) {
        if (item.star_qualifier.empty())
          throw BatchAbort(Msg(263, 16, 1, "Must specify table to select from."));
        std::string written;
        for (const std::string& q : item.star_qualifier)
          written += (written.empty() ? "" : ".") + q;
        throw BatchAbort(
            Msg(4104, 16, 1, "The multi-part identifier \"" + written + "\" could not be bound."));
      }
      continue;
    }
    Typed t = Expression(*item.expr, scope);
    std::string name = item.alias;
    if (name.empty() && item.expr->kind == ExprKind::Column) name = item.expr->names.back();
    item_sql.push_back(t.sql + (name.empty() ? "" : " AS " + QuoteName(name)));
    if (t.null_literal) t.type.nullable = true;
    columns.push_back(Column{name, t.type});
    untyped.push_back(t.null_literal);
  }
  sql = "SELECT ";
  if (s.distinct) sql += "DISTINCT ";
  for (std::size_t i = 0; i < item_sql.size(); ++i) sql += (i ? ", " : "") + item_sql[i];
  if (!from.empty()) sql += " FROM " + from;
  if (s.where) sql += " WHERE " + Condition(*s.where, scope);
  if (!s.group_by.empty()) {
    sql += " GROUP BY ";
    for (std::size_t i = 0; i < s.group_by.size(); ++i) {
      Typed g = Expression(*s.group_by[i], scope);
      sql += (i ? ", " : "") + g.sql + (UsesCollation(g.type) ? " COLLATE TSQLCI" : "");
    }
  }
  if (s.having) sql += " HAVING " + Condition(*s.having, scope);
  return columns;
}

std::string Translator::OrderBy(const Select& s, const std::vector<Column>& columns,
                                const Scope* scope) {
  std::string sql;
  for (const OrderItem& o : s.order_by) {
    std::string term;
    if (IsOrdinal(*o.expr)) {
      int n = std::stoi(o.expr->token.text);
      if (n < 1 || n > static_cast<int>(columns.size()))
        throw BatchAbort(Msg(108, 15, 1,
                             "The ORDER BY position number " + o.expr->token.text +
                                 " is out of range of the number of items in the select list."));
      term = std::to_string(n) + (UsesCollation(columns[n - 1].type) ? " COLLATE TSQLCI" : "");
    } else {
      int match = -1;
      if (o.expr->kind == ExprKind::Column && o.expr->names.size() == 1) {
        for (std::size_t i = 0; i < columns.size(); ++i)
          if (CompareCi(columns[i].name, o.expr->names[0]) == 0 && match < 0)
            match = static_cast<int>(i);
      }
      if (match >= 0 && (scope == nullptr || s.union_next)) {
        term = std::to_string(match + 1) +
               (UsesCollation(columns[match].type) ? " COLLATE TSQLCI" : "");
      } else if (scope == nullptr) {
        throw BatchAbort(Msg(104, 16, 1,
                             "ORDER BY items must appear in the select list if the statement "
                             "contains a UNION, INTERSECT or EXCEPT operator."));
      } else if (match >= 0 && o.expr->kind == ExprKind::Column) {
        // A select-list alias wins over a column of the same name.
        term = std::to_string(match + 1) +
               (UsesCollation(columns[match].type) ? " COLLATE TSQLCI" : "");
      } else {
        Typed t = Expression(*o.expr, *scope);
        term = t.sql + (UsesCollation(t.type) ? " COLLATE TSQLCI" : "");
      }
    }
    sql += (sql.empty() ? " ORDER BY " : ", ") + term + (o.descending ? " DESC" : "");
  }
  return sql;
}

std::string Translator::ClusteredOrder(const Scope& scope) {
  std::string sql;
  for (const Source& src : scope.sources) {
    std::vector<const ColumnInfo*> key;
    for (const ColumnInfo& c : src.columns)
      if (c.key_ordinal > 0) key.push_back(&c);
    // Past a heap the rows come in no particular order, so later keys say nothing.
    if (src.table.empty() || key.empty()) break;
    std::sort(key.begin(), key.end(), [](const ColumnInfo* a, const ColumnInfo* b) {
      return a->key_ordinal < b->key_ordinal;
    });
    for (const ColumnInfo* c : key)
      sql += (sql.empty() ? " ORDER BY " : ", ") + src.sql_alias + "." + QuoteName(c->name) +
             (UsesCollation(c->type) ? " COLLATE TSQLCI" : "");
  }
  return sql;
}

std::vector<Column> Translator::Query(const Select& select, const Scope* outer, std::string& sql) {
  Scope scope;
  std::vector<std::string> items;
  std::vector<bool> untyped;
  std::vector<Column> columns = Core(select, outer, sql, items, scope, untyped);
  const Scope* order_scope = &scope;
  for (const Select *next = select.union_next.get(), *prev = &select; next;
       prev = next, next = next->union_next.get()) {
    Scope next_scope;
    std::vector<std::string> next_items;
    std::vector<bool> next_untyped;
    std::string next_sql;
    std::vector<Column> next_cols =
        Core(*next, outer, next_sql, next_items, next_scope, next_untyped);
    if (next_cols.size() != columns.size())
      throw BatchAbort(Msg(205, 16, 1,
                           "All queries combined using a UNION, INTERSECT or EXCEPT operator must "
                           "have an equal number of expressions in their target lists."));
    for (std::size_t i = 0; i < columns.size(); ++i) {
      SqlType& mine = columns[i].type;
      const SqlType& theirs = next_cols[i].type;
      bool nullable = mine.nullable || theirs.nullable;
      if (next_untyped[i]) {
      } else if (untyped[i]) {
        mine = theirs;
        untyped[i] = false;
      } else {
        SqlType merged = Dominant(mine, theirs);
        if (IsCharacter(mine.id) && IsCharacter(theirs.id))
          merged.length =
              (mine.length == SqlType::kMaxLength || theirs.length == SqlType::kMaxLength)
                  ? SqlType::kMaxLength
                  : std::max(mine.length, theirs.length);
        mine = merged;
      }
      mine.nullable = nullable;
    }
    sql += prev->union_all ? " UNION ALL " : " UNION ";
    sql += next_sql;
    order_scope = nullptr;
  }
  sql += OrderBy(select, columns, order_scope);
  if (select.order_by.empty() && order_scope && select.group_by.empty() && !select.distinct)
    sql += ClusteredOrder(scope);
  if (select.top) {
    if (select.top_percent) throw NotSupported("TOP PERCENT");
    Typed n = Expression(*select.top, scope);
    sql += " LIMIT " + n.sql;
  }
  return columns;
}

}  // namespace standin::engine
