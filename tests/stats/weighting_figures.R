# The weighted lines of the studies in weighting_test.cpp (WeightedLines.
# AgreeWithR), computed independently with R's lm(weights = ) and its
# summary: slope, intercept, residual standard deviation with the weights
# normalised to a mean of 1, and the standard errors of both coefficients.
# Not run by the tests: run it by hand (Rscript tests/stats/weighting_figures.R)
# when a study or a definition changes, and copy its figures into the test.
options(digits = 15)

weights <- function(id, x, y) {
  level <- match(x, unique(x))
  s2 <- tapply(y, level, var)[level]
  switch(id,
         "none" = rep(1, length(x)),
         "1/x^0.5" = 1 / sqrt(x), "1/x" = 1 / x, "1/x^2" = 1 / x^2,
         "1/y^0.5" = 1 / sqrt(y), "1/y" = 1 / y, "1/y^2" = 1 / y^2,
         "1/s^2" = 1 / s2)
}

lines <- function(name, x, y) {
  cat("//", name, "\n")
  for (id in c("none", "1/x^0.5", "1/x", "1/x^2", "1/y^0.5", "1/y", "1/y^2", "1/s^2")) {
    w <- weights(id, x, y)
    w <- w / mean(w)
    fit <- summary(lm(y ~ x, weights = w))
    k <- fit$coefficients
    cat(sprintf('{"%s", %.15g, %.15g, %.15g, %.15g, %.15g},\n', id,
                k["x", "Estimate"], k["(Intercept)", "Estimate"], fit$sigma,
                k["x", "Std. Error"], k["(Intercept)", "Std. Error"]))
  }
}

# Five levels of three replicates whose spread grows with the amount.
lines("growing", rep(c(1, 5, 10, 50, 100), each = 3),
      c(1.02, 0.99, 1.01, 5.10, 4.93, 5.04, 10.21, 9.85, 10.08, 51.3, 48.6, 50.9, 103.8, 96.9, 101.2))
# An assay from 80 % to 120 % of its label, typed with two decimals.
lines("assay", rep(c(40, 45, 50, 55, 60), each = 3),
      c(39.87, 40.12, 40.05, 45.21, 44.93, 45.06, 50.14, 49.88, 49.97,
        55.32, 54.91, 55.08, 60.25, 59.84, 60.11))
