#pragma once

namespace kestravin {

class Team;

/// The statistics pass: population, mean fitness (the exact sum rounded to float, then
/// divided in double; 0 for an empty team), the highest and lowest fitness with the ids of
/// the earliest players holding them (an empty team keeps the values and gets ids 0), and
/// the run maxima raised, or lowestPop lowered, on strictly greater or smaller values.
void summariseTeam(Team& team);

/// The end-of-year statistics pass: summariseTeam, then year + 1.
void updateStatistics(Team& team);

}  // namespace kestravin
