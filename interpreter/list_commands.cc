// LISTA: up to twenty named lists of texts.
#include <string>

#include "interpreter/commands.h"
#include "interpreter/runtime.h"
#include "interpreter/text_rules.h"
#include "system/text_encoding.h"

namespace morventa {
namespace {

bool Create(Runtime& rt, const std::string& name, std::string_view args) {
  if (!TrimView(args).empty()) return false;
  if (rt.interp.FindList(name)) {
    rt.WriteLineSpoken(Ansi("A lista especificada já existe"));
    return false;
  }
  for (auto& slot : rt.interp.lists) {
    if (!slot) {
      slot = std::make_unique<ListRecord>();
      slot->name = name;
      return true;
    }
  }
  rt.WriteLineSpoken(Ansi("Muitas listas no programa (máximo 20)"));
  return false;
}

bool Erase(Runtime& rt, const std::string& name, std::string_view args) {
  if (!TrimView(args).empty()) return false;
  for (auto& slot : rt.interp.lists) {
    if (slot && slot->name == name) {
      slot.reset();
      return true;
    }
  }
  return false;
}

bool Size(Runtime& rt, const std::string& name, std::string_view args) {
  const ListRecord* list = rt.interp.FindList(name);
  if (!list) return false;
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  rt.interp.variables.Slot(*slot) = DecimalText(static_cast<int64_t>(list->items.size()));
  return true;
}

bool Item(Runtime& rt, const std::string& name, std::string_view args) {
  const ListRecord* list = rt.interp.FindList(name);
  if (!list) return false;
  int32_t index;
  if (!EvaluateInteger(rt, args, index)) return false;
  const auto slot = TakeVariable(rt, args);
  if (!slot) return false;
  if (index < 0 || static_cast<size_t>(index) >= list->items.size()) return false;
  rt.interp.variables.Slot(*slot) = list->items[static_cast<size_t>(index)];
  return true;
}

bool Add(Runtime& rt, const std::string& name, std::string_view args) {
  ListRecord* list = rt.interp.FindList(name);
  if (!list) return false;
  std::string x;
  if (!EvaluateValue(rt, args, x)) return false;
  list->items.push_back(std::move(x));
  return true;
}

bool Remove(Runtime& rt, const std::string& name, std::string_view args) {
  ListRecord* list = rt.interp.FindList(name);
  if (!list) return false;
  std::string x;
  if (!EvaluateValue(rt, args, x)) return false;
  const std::string wanted = UpperText(x);
  for (auto it = list->items.begin(); it != list->items.end(); ++it) {
    if (UpperText(*it) == wanted) {
      list->items.erase(it);
      return true;
    }
  }
  return false;
}

struct ListSubcommand {
  std::string_view word;
  bool (*run)(Runtime&, const std::string& name, std::string_view rest);
};

constexpr ListSubcommand kListSubcommands[] = {
    {"CRIA", Create}, {"APAGA", Erase}, {"TAMANHO", Size},
    {"ITEM", Item},   {"ADICIONA", Add}, {"DELETA", Remove},
};

}  // namespace

bool ListaCommand(Runtime& rt, std::string_view args) {
  const auto name = TakeListName(args);
  if (!name) return false;
  args = TrimView(args);
  for (const auto& sub : kListSubcommands) {
    if (StartsWithUpper(args, sub.word)) return sub.run(rt, *name, args.substr(sub.word.size()));
  }
  return false;
}

}  // namespace morventa
