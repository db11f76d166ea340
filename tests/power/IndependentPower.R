# An independent simulation of multirule power, from the rules' published definitions, compared with
# the program's figures within three standard errors.
# Usage: Rscript IndependentPower.R PATH_TO_rule_set_power

args <- commandArgs(trailingOnly = TRUE)
if (length(args) != 1) stop("usage: Rscript IndependentPower.R RULE_SET_POWER")
program <- args[1]

runs <- 12          # eleven in-control runs, then the judged run
trials <- 100000
set.seed(20261209)

# A rule: consecutive values beyond a limit on one side (len values, all of them), m of len values
# beyond it, one value beyond it, or one value above +2 SD and another below -2 SD in the same run.
rule <- function(name) {
  switch(name,
    "1:2s" = list(kind = "one", k = 2), "1:2.5s" = list(kind = "one", k = 2.5),
    "1:3s" = list(kind = "one", k = 3), "1:3.5s" = list(kind = "one", k = 3.5),
    "2:2s" = list(kind = "mofn", len = 2, m = 2, k = 2),
    "2of3:2s" = list(kind = "mofn", len = 3, m = 2, k = 2),
    "R:4s" = list(kind = "range"),
    "3:1s" = list(kind = "mofn", len = 3, m = 3, k = 1),
    "4:1s" = list(kind = "mofn", len = 4, m = 4, k = 1),
    "6:x" = list(kind = "mofn", len = 6, m = 6, k = 0),
    "8:x" = list(kind = "mofn", len = 8, m = 8, k = 0),
    "9:x" = list(kind = "mofn", len = 9, m = 9, k = 0),
    "10:x" = list(kind = "mofn", len = 10, m = 10, k = 0),
    "12:x" = list(kind = "mofn", len = 12, m = 12, k = 0),
    stop(paste("unknown rule", name)))
}

# For each trial (row of s, a series oldest first): whether a window of r$len values ending at one of
# the columns `ends` holds at least r$m values beyond r$k on the side of the value it ends with.
window_fires <- function(s, ends, r) {
  fired <- rep(FALSE, nrow(s))
  for (e in ends) {
    w <- s[, (e - r$len + 1):e, drop = FALSE]
    up <- rowSums(w > r$k) >= r$m & s[, e] > r$k
    down <- rowSums(w < -r$k) >= r$m & s[, e] < -r$k
    fired <- fired | up | down
  }
  fired
}

# Rejected trials of runs of n values each, the last run shifted by `shift` SD. Rules over several
# values read each level's own values across runs and all values in the order measured, and fire only
# on a window ending with a value of the judged run.
simulate <- function(names, n, shift) {
  z <- matrix(rnorm(trials * runs * n), nrow = trials)
  last <- ((runs - 1) * n + 1):(runs * n)
  z[, last] <- z[, last] + shift
  rejected <- rep(FALSE, trials)
  for (name in names) {
    r <- rule(name)
    if (r$kind == "one") {
      rejected <- rejected | rowSums(abs(z[, last, drop = FALSE]) > r$k) > 0
    } else if (r$kind == "range") {
      newest <- z[, last, drop = FALSE]
      rejected <- rejected | (rowSums(newest > 2) > 0 & rowSums(newest < -2) > 0)
    } else {
      rejected <- rejected | window_fires(z, last, r)
      for (level in seq_len(n)) {
        own <- z[, seq(level, by = n, length.out = runs), drop = FALSE]
        rejected <- rejected | window_fires(own, runs, r)
      }
    }
  }
  mean(rejected)
}

cases <- list(
  list(rules = "1:3s/2:2s/R:4s/4:1s/10:x", n = 2, shift = 0),
  list(rules = "1:3s/2:2s/R:4s/4:1s/10:x", n = 2, shift = 2),
  list(rules = "1:3s/2of3:2s/R:4s/3:1s/6:x", n = 3, shift = 0),
  list(rules = "1:3s/2of3:2s/R:4s/3:1s/6:x", n = 3, shift = 1.5),
  list(rules = "1:3s/2:2s/R:4s/4:1s/8:x", n = 4, shift = 1),
  list(rules = "1:2.5s/R:4s", n = 6, shift = 0.5),
  list(rules = "1:3s/2:2s/9:x/12:x", n = 1, shift = 1),
  list(rules = "1:3.5s/2of3:2s/4:1s", n = 1, shift = 2.5)
)

failures <- 0
for (c in cases) {
  out <- system2(program, c(shQuote(c$rules), c$n, c$shift, 40000), stdout = TRUE)
  if (!is.null(attr(out, "status"))) stop(paste("the program failed on", c$rules))
  ours <- as.numeric(strsplit(trimws(out), " +")[[1]])
  theirs <- simulate(strsplit(c$rules, "/")[[1]], c$n, c$shift)
  se <- sqrt(ours[2]^2 + theirs * (1 - theirs) / trials)
  ok <- abs(ours[1] - theirs) <= 3 * max(se, 1e-4)
  cat(sprintf("%-28s N=%d shift=%.2f  program %.4f (SE %.4f)  R %.4f  %s\n", c$rules, c$n, c$shift,
              ours[1], ours[2], theirs, if (ok) "ok" else "DIFFERS"))
  if (!ok) failures <- failures + 1
}
if (failures > 0) quit(status = 1)
