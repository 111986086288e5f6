#pragma once

namespace kestravin {

class Team;

/// Sets population, and raises highestPop / lowers lowestPop on a strictly greater /
/// smaller value.
void countPopulation(Team& team);

/// Sets avgFitness (0 for an empty team; the exact sum rounded to float, then divided in
/// double) and raises bestAvgFitness; counts the population on the way.
void updateMeanFitness(Team& team);

/// Sets maxFitness and bestId (the earliest player with it; an empty team keeps maxFitness
/// and gets bestId 0) and raises bestMaxFitness.
void updateMaxFitness(Team& team);

/// Sets minFitness and worstId, as updateMaxFitness does for the highest.
void updateMinFitness(Team& team);

/// The end-of-year statistics pass: mean, highest, lowest; then year + 1.
void updateStatistics(Team& team);

}  // namespace kestravin
