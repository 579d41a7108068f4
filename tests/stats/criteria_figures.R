# The acceptance criteria's figures of the studies in criteria_test.cpp,
# computed independently with R's lm, anova and pf. Not run by the tests:
# run it by hand (Rscript tests/stats/criteria_figures.R) when a study or a
# definition changes, and copy its figures into the test.
options(digits = 15)

figures <- function(name, reps, x, y, target = NA) {
  level <- rep(seq_along(reps), reps)
  n <- length(x)
  line <- lm(y ~ x)
  a <- unname(coef(line)[1]); b <- unname(coef(line)[2])
  s <- sqrt(sum(residuals(line)^2) / (n - 2))
  amounts <- tapply(x, level, mean)
  t <- if (is.na(target)) mean(amounts) else target
  xBack <- (y - a) / b
  rel <- ifelse(x == 0, NA, 100 * (xBack - x) / x)
  bias <- tapply(rel, level, mean)
  rf <- ifelse(x == 0, NA, y / x)
  mandel <- c(NA, NA)
  if (n - 3 >= 1 && length(unique(x)) >= 3) {
    parabola <- lm(y ~ x + I(x^2))
    test <- anova(line, parabola)
    if (sum(residuals(parabola)^2) > 1e-15 * sum((y - mean(y))^2))
      mandel <- c(test$F[2], test$`Pr(>F)`[2])
  }
  lof <- NA
  if (length(unique(x)) < n) {
    full <- lm(y ~ factor(x))
    lof <- anova(line, full)$`Pr(>F)`[2]
  }
  cat(sprintf("== %s\n", name))
  v <- c(target = t,
         rangeLow = 100 * min(amounts) / t, rangeHigh = 100 * max(amounts) / t,
         r = sign(b) * sqrt(summary(line)$r.squared), rSquared = summary(line)$r.squared,
         interceptPercent = 100 * a / (a + b * t),
         lod = 3.3 * s / abs(b), loq = 10 * s / abs(b),
         rse = if (any(x == 0)) NA else 100 * sqrt(sum((rel / 100)^2) / (n - 2)),
         rfMean = if (any(x == 0)) NA else mean(rf), rfSd = if (any(x == 0)) NA else sd(rf),
         rfRsd = if (any(x == 0)) NA else 100 * sd(rf) / abs(mean(rf)),
         mandelF = mandel[1], mandelP = mandel[2], lackOfFitP = lof,
         largestBias = max(abs(bias), na.rm = TRUE))
  for (k in names(v)) cat(sprintf("%-17s %.15g\n", k, v[[k]]))
  cat("levelBias        ", sprintf("%.15g", bias), "\n")
  cat("xBack            ", sprintf("%.15g", xBack), "\n")
}

# The published example of the relative standard error: 12.83 %.
truth <- c(0.05, 0.5, 2.5, 5, 10)
back <- c(0.0582, 0.4396, 2.304, 4.876, 10.34)
cat(sprintf("RSE of the published example %.15g\n\n", 100 * sqrt(sum(((back - truth) / truth)^2) / (5 - 2))))

figures("worked-anova", c(2, 2, 2), c(1, 1, 2, 2, 3, 3), c(1.02, 0.97, 2.10, 2.02, 2.95, 3.05))
figures("worked-lackoffit", c(3, 2, 4, 3, 2),
        rep(c(40, 60, 80, 100, 120), c(3, 2, 4, 3, 2)),
        c(40.8, 41.3, 40.5, 61.9, 62.4, 82.6, 81.9, 82.2, 82.8, 101.2, 100.6, 101.5, 118.1, 118.9))
figures("worked-noreplicates", c(1, 1, 1), c(1, 2, 3), c(1.1, 1.9, 3.2))
figures("worked-25obs", rep(5, 5), rep(c(20, 40, 60, 80, 100), each = 5),
        c(20.7, 20.0, 20.3, 20.6, 20.9, 40.4, 40.7, 40.0, 40.3, 40.6, 60.1, 60.4, 60.7, 60.0, 60.3,
          80.8, 80.1, 80.4, 80.7, 80.0, 100.5, 100.8, 100.1, 100.4, 100.7))
# Five levels from 70 % to 130 %, close to the line: every check passes.
passing_x <- rep(c(70, 85, 100, 115, 130), each = 3)
passing_y <- c(69.8, 70.3, 70.1, 85.2, 84.7, 85.1, 100.3, 99.6, 100.1, 114.6, 115.4, 115.2, 130.4, 129.7, 130.2)
figures("passing", rep(3, 5), passing_x, passing_y)
# The same with T set to 110: the lowest level is 63.6 % of it, the highest 118 %.
figures("passing-target-110", rep(3, 5), passing_x, passing_y, target = 110)
# A blank level at 0: its relative errors and the response factors are not assessed.
figures("zero-level", rep(2, 5), rep(c(0, 25, 50, 75, 100), each = 2),
        c(0.3, 0.1, 25.4, 24.8, 50.2, 49.9, 75.6, 74.7, 99.8, 100.4))
# A response that bends: Mandel's test and the lack of fit see it.
figures("curved", rep(2, 5), rep(1:5, each = 2),
        c(1.04, 1.06, 2.19, 2.21, 3.44, 3.46, 4.81, 4.79, 6.24, 6.26))
