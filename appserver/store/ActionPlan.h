#pragma once
// What an action across lists (a replacement, an undo) would do, as data: every change with the
// number of the place it is about, and every refusal. The remote methods answer it as the
// import's preview; with any refusal nothing is applied.

#include <cstddef>
#include <string>
#include <vector>

namespace appserver {

enum class PlanAction { Include, Alter, Exclude };

struct PlanChange {
    std::size_t line = 0;  // the place, counted from 1 in the order the action lists them
    PlanAction action = PlanAction::Alter;
    std::string what;    // "grupo 0000000001 (Bebidas), relacionado 1.01.001.0002 de ..."
    std::string before;  // the row as stored; empty for an inclusion
    std::string after;   // as the action leaves it; empty for an exclusion
};

struct PlanProblem {
    std::size_t line = 0;
    std::string message;
};

struct ActionPlan {
    std::vector<PlanChange> changes;
    std::vector<PlanProblem> problems;
    bool applied = false;  // the action was asked to apply and did

    bool applicable() const { return problems.empty(); }
};

}  // namespace appserver
