#include "ui/player_view.h"

#include "ui/text_format.h"

namespace kestravin::ui {

namespace {

constexpr int kDetailsX = 5;

}  // namespace

std::string playerRowText(const Team& team, std::size_t i) {
  const Player& p = team.players[i];
  std::string row = std::to_string(p.id);
  row += '\t';
  row += std::to_string(p.fitness);
  row += '\t';
  row += team.players.chromosomeView(i);
  return row;
}

void refreshPlayerList(platform::ListBox& list, const Team& team) {
  // The rows are replaced at once: the same list as deleting every row and inserting them
  // one by one, without the cost of redrawing after each.
  const std::size_t count = team.players.exists() ? team.players.size() : 0;
  list.setRows(count, [&team](std::size_t i, std::string& text) {
    text = playerRowText(team, i);
    return team.players[i].id;
  });
}

std::optional<std::int32_t> selectedPlayerId(const platform::ListBox& list) {
  const int row = list.selectedRow();
  if (row < 0) return std::nullopt;
  return list.rowData(row);
}

void drawPlayerDetails(platform::Surface& buffer, const Team& team,
                       std::optional<std::int32_t> id) {
  buffer.fillBlack(kPlayerArea);
  buffer.setTextColor(platform::kBlue);
  if (!id) return;
  const std::ptrdiff_t found = team.players.find(*id);
  if (found < 0) return;
  const std::size_t i = static_cast<std::size_t>(found);
  const Player& p = team.players[i];
  const auto line = [&](int y, const std::string& text) { buffer.drawText({kDetailsX, y}, text); };
  line(5, "ID: " + std::to_string(p.id));
  line(20, "Chromosome: " + std::string(team.players.chromosomeView(i)));
  line(35, "Fitness: " + std::to_string(p.fitness));
  line(50, "Age: " + std::to_string(p.age));
  line(65, "Fertility: " + fixed2(p.fertility));
  line(80, "Number of Children: " + std::to_string(p.children));
  line(95, "Last Mutation: " + std::to_string(p.lastMutation));
  line(110, "Parent 1 ID: " + std::to_string(p.parent1Id));
  line(125, "Parent 2 ID: " + std::to_string(p.parent2Id));
}

}  // namespace kestravin::ui
