#include "support/literal_model.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/fp_precision.h"

namespace literal {

namespace {
int code(char c) {
  return static_cast<signed char>(c);
}
}  // namespace

Model::Model(const Params& params, std::uint32_t seed) : params_(params) {
  const kestravin::DoubleArithmetic doubles;  // real arithmetic in doubles, on any unit
  // The generator: LCG-seeded table, bit 15 from a second pass, the sixteen columns.
  std::uint32_t s = seed;
  auto step = [&s] {
    s = s * 22695477u + 1u;
    return (s >> 16) & 0x7FFFu;
  };
  for (int j = 0; j < 250; ++j) table_[j] = step();
  for (int j = 0; j < 250; ++j)
    if (step() > 16384u) table_[j] |= 0x8000u;
  std::uint32_t mask = 0xFFFF, msb = 0x8000;
  for (int j = 0; j < 16; ++j) {
    table_[11 * j + 3] = (table_[11 * j + 3] & mask) | msb;
    mask >>= 1;
    msb >>= 1;
  }
  index_ = 0;

  // The fitness string.
  chromoLength_ = static_cast<std::int32_t>(params_.fitString.size());
  const char* f = params_.fitString.c_str();
  geneMin_ = geneMax_ = code(f[0]);
  for (int i = 0; i < chromoLength_; ++i) {
    if (code(f[i]) < geneMin_) geneMin_ = code(f[i]);
    if (code(f[i]) > geneMax_) geneMax_ = code(f[i]);
  }
  geneRange_ = geneMax_ - geneMin_;
  if (geneRange_ == 0) {
    if (geneMin_ != 0)
      geneMin_ = static_cast<signed char>(geneMin_ - 1);  // 8-bit: below -128 comes 127
    else
      geneMax_++;
    geneRange_ = 1;
  }
  targetFitness_ = 0;
  for (int i = 0; i < chromoLength_; ++i) {
    int a = std::abs(code(f[i]) - geneMax_), b = std::abs(code(f[i]) - geneMin_);
    targetFitness_ += a > b ? a : b;
  }

  // The founders.
  head_ = tail_ = new Player;
  for (int k = 0; k < params_.teamSize; ++k) {
    Player* p = newPlayer();
    for (int i = 0; i < chromoLength_; ++i)
      p->chromosome[i] = static_cast<char>(geneMin_ + static_cast<int>(below(geneRange_ + 1)));
    fitness(p);
    p->id = nextId_++;
    p->fertility = static_cast<float>(below(100));
    append(p);
  }
  // Statistics of the founders, then the run maxima from them.
  stats();
  deaths_ = ageDeaths_ = fitDeaths_ = maxDeaths_ = maxAgeDeaths_ = maxFitDeaths_ = year_ = 0;
  births_ = maxBirths_ = params_.teamSize;
  bestAvgFitness_ = avgFitness_;
  bestMaxFitness_ = maxFitness_;
  highestPop_ = lowestPop_ = population_;
}

Model::~Model() {
  Player* p = head_;
  while (p) {
    Player* n = p->next;
    delete[] p->chromosome;
    delete p;
    p = n;
  }
}

std::uint32_t Model::next16() {
  int partner = index_ >= 147 ? index_ - 147 : index_ + 103;
  std::uint32_t v = table_[index_] ^ table_[partner];
  table_[index_] = v;
  index_ = index_ >= 249 ? 0 : index_ + 1;
  return v;
}

std::uint32_t Model::below(std::uint32_t n) {
  std::uint32_t limit = (65535u / n) * n, v;
  do v = next16();
  while (v >= limit);
  return v % n;
}

bool Model::chance(std::int32_t divisor, std::int32_t t) {
  return static_cast<std::int32_t>(below(static_cast<std::uint32_t>(divisor))) < t;
}

std::int32_t Model::threshold(double x) {
  float f = std::isfinite(x) && std::fabs(x) < 1e30 ? static_cast<float>(x) : NAN;
  std::int64_t t;
  if (!std::isfinite(f) || std::fabs(static_cast<double>(f)) >= 9223372036854775808.0)
    t = INT64_MIN;
  else
    t = static_cast<std::int64_t>(f);
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(t)));
}

void Model::fitness(Player* p) const {
  int d = 0;
  for (int i = 0; i < chromoLength_; ++i)
    d += std::abs(code(p->chromosome[i]) - code(params_.fitString[i]));
  p->fitness = targetFitness_ - d;
}

Player* Model::newPlayer() {
  Player* p = new Player;
  p->chromosome = new char[chromoLength_ + 1];
  std::memset(p->chromosome, 0, chromoLength_ + 1);
  return p;
}

void Model::append(Player* p) {
  tail_->next = p;
  p->next = nullptr;
  tail_ = p;
}

void Model::stats() {
  // Mean, with the population count; then highest; then lowest.
  std::int64_t sum = 0;
  int n = 0;
  for (Player* p = head_->next; p; p = p->next) {
    sum += p->fitness;
    n++;
  }
  population_ = n;
  if (n > highestPop_) highestPop_ = n;
  if (n < lowestPop_) lowestPop_ = n;
  float s = static_cast<float>(sum);
  avgFitness_ = n == 0 ? 0.0f : static_cast<float>(static_cast<double>(s) / n);
  if (avgFitness_ > bestAvgFitness_) bestAvgFitness_ = avgFitness_;
  if (!head_->next) {
    bestId_ = 0;
  } else {
    Player* best = head_->next;
    for (Player* p = head_->next; p; p = p->next)
      if (p->fitness > best->fitness) best = p;
    maxFitness_ = best->fitness;
    bestId_ = best->id;
  }
  if (maxFitness_ > bestMaxFitness_) bestMaxFitness_ = maxFitness_;
  if (!head_->next) {
    worstId_ = 0;
  } else {
    Player* worst = head_->next;
    for (Player* p = head_->next; p; p = p->next)
      if (p->fitness < worst->fitness) worst = p;
    minFitness_ = worst->fitness;
    worstId_ = worst->id;
  }
}

bool Model::mayAdvance() const {
  return year_ < params_.maxGen && population_ > 0 && maxFitness_ < targetFitness_;
}

void Model::runYear() {
  const kestravin::DoubleArithmetic doubles;
  for (Player* p = head_->next; p; p = p->next) p->age++;

  for (Player* p = head_->next; p; p = p->next) p->bred = 0;
  births_ = 0;
  int n = 0;
  if (population_ < params_.maxPop) {
    for (Player* q = head_->next; q; q = q->next) {
      if (q->bred != 0 || q->age <= 0) continue;
      if (!chance(params_.birthChanceDiv,
                  threshold(((static_cast<double>(q->fertility) + q->fertility) * 0.01) *
                            params_.birthChance)))
        continue;
      Player* p = q->next ? q->next : head_->next;
      while (p->bred == 1) p = p->next;
      if (p == q) continue;
      // The birth.
      Player* c = newPlayer();
      int cut = static_cast<int>(below(chromoLength_));
      Player* from1 = cut % 2 == 0 ? q : p;
      Player* from2 = cut % 2 == 0 ? p : q;
      for (int i = 0; i < chromoLength_; ++i)
        c->chromosome[i] = i < cut ? from1->chromosome[i] : from2->chromosome[i];
      c->fertility = from2->fertility;
      c->lastMutation = 0;
      if (chance(params_.mutationDiv, params_.mutation)) {
        int pos = static_cast<int>(below(chromoLength_ + 1));
        if (pos < chromoLength_) {
          c->chromosome[pos] =
              static_cast<char>(geneMin_ + static_cast<int>(below(geneRange_ + 1)));
          c->lastMutation = pos + 1;
        } else {
          c->fertility = static_cast<float>(below(100));
          c->lastMutation = 88;
        }
      }
      c->age = 0;
      c->bred = 0;
      fitness(c);
      append(c);
      c->dead = 0;
      c->id = nextId_++;
      c->parent1Id = q->id;
      c->parent2Id = p->id;
      c->children = 0;
      q->children++;
      q->bred = 1;
      p->children++;
      p->bred = 1;
      n++;
    }
  }
  births_ = n;
  if (n > maxBirths_) maxBirths_ = n;

  int a = 0, f = 0;
  for (Player* p = head_->next; p; p = p->next) {
    if (p->age > params_.ageStart &&
        chance(params_.ageDeathDiv,
               threshold((static_cast<double>(p->age) / params_.ageStart) * params_.ageDeath))) {
      p->dead = 1;
      a++;
    }
    if (p->dead == 1) continue;
    if (chance(params_.fitDeathDiv,
               threshold((static_cast<double>(avgFitness_) / p->fitness) * params_.fitDeath))) {
      p->dead = 1;
      f++;
    }
  }
  deaths_ = a + f;
  ageDeaths_ = a;
  fitDeaths_ = f;
  if (deaths_ > maxDeaths_) maxDeaths_ = deaths_;
  if (a > maxAgeDeaths_) maxAgeDeaths_ = a;
  if (f > maxFitDeaths_) maxFitDeaths_ = f;

  Player* prev = head_;
  while (prev->next) {
    Player* s = prev->next;
    if (s->dead == 1) {
      prev->next = s->next;
      delete[] s->chromosome;
      delete s;
    } else {
      prev = s;
    }
  }
  tail_ = prev;

  stats();
  year_++;
}

std::string Model::reportBlock() const {
  std::string out;
  char line[1024];
  auto put = [&](int n) { out.append(line, n); };
  put(std::snprintf(line, sizeof line, "**** Team Info, Year %d ****\r\n",
                    params_.startYear + year_));
  put(std::snprintf(line, sizeof line, "Max Fitness=%d Min Fitness=%d Avg Fitness=%.2f\r\n",
                    maxFitness_, minFitness_, static_cast<double>(avgFitness_)));
  put(std::snprintf(line, sizeof line, "Total population=%d Births=%d\r\n", population_, births_));
  put(std::snprintf(line, sizeof line, "Age Deaths=%d Fitness Deaths=%d Total Deaths=%d\r\n",
                    ageDeaths_, fitDeaths_, deaths_));
  put(std::snprintf(line, sizeof line, "Best Fitness=%d Best Avg Fitness=%.2f\r\n", bestMaxFitness_,
                    static_cast<double>(bestAvgFitness_)));
  put(std::snprintf(line, sizeof line, "Highest population=%d Lowest Population=%d\r\n\r\n",
                    highestPop_, lowestPop_));
  if (!head_->next) return out;
  out += " ID    FIT    AGE    MUT    FERT    KIDS    CHROMO\r\n";
  out += "----  -----  -----  -----  ------  ------  --------\r\n";
  // The file is text: every LF byte written, a gene of code 10 too, is stored as CR LF.
  for (const Player* p = head_->next; p; p = p->next) {
    const int n = std::snprintf(line, sizeof line,
                                "%-5d %-2d     %-2d     %-2d     %-5.2f   %-3d     %-20s\n", p->id,
                                p->fitness, p->age, p->lastMutation,
                                static_cast<double>(p->fertility), p->children, p->chromosome);
    for (int i = 0; i < n; ++i) {
      if (line[i] == '\n') out += '\r';
      out += line[i];
    }
  }
  out += "\r\n*******************************\r\n\r\n";
  return out;
}

std::string Model::wholeReport(const Params& params, std::uint32_t seed) {
  Model m(params, seed);
  std::string out = m.reportBlock();
  while (m.mayAdvance()) {
    m.runYear();
    out += m.reportBlock();
  }
  return out;
}

}  // namespace literal
