# The same analysis in R as `linealidad --inference` or `--report` of a study
# file, for bench/versus_r.sh: the line with its 95 % intervals and the t of
# slope 1 and intercept 0; for the report also the analysis of variance with
# lack of fit and pure error, the studentized residuals and the t test of the
# percentage recovered against 100. Prints the main figures, so that a run
# also cross-checks them against the program's.
# Usage: Rscript versus_r.R inference|report STUDY.w04
args <- commandArgs(trailingOnly = TRUE)
mode <- args[1]
lines <- sub("\r$", "", readLines(args[2], encoding = "latin1", warn = FALSE))
k <- as.integer(lines[5])
replicates <- as.integer(lines[5 + seq_len(k)])
n <- sum(replicates)
x <- as.numeric(lines[5 + k + seq_len(n)])
y <- as.numeric(lines[5 + k + n + seq_len(n)])
level <- factor(rep(seq_len(k), replicates))

fit <- lm(y ~ x)
coefficients <- summary(fit)$coefficients
intervals <- confint(fit, level = 0.95)
cat("pendiente", signif(coef(fit)[2], 6), "IC", signif(intervals[2, ], 6),
    "t", signif((coef(fit)[2] - 1) / coefficients[2, 2], 6), "\n")
cat("ordenada", signif(coef(fit)[1], 6), "IC", signif(intervals[1, ], 6),
    "t", signif(coef(fit)[1] / coefficients[1, 2], 6), "\n")
cat("r2", signif(summary(fit)$r.squared, 8), "\n")
if (mode == "report") {
    regression <- anova(fit)
    lackOfFit <- anova(fit, lm(y ~ level))
    cat("fcal", signif(regression[1, "F value"], 6), "Pfcal", signif(regression[1, "Pr(>F)"], 6), "\n")
    cat("falta de ajuste F", signif(lackOfFit[2, "F"], 6), "P", signif(lackOfFit[2, "Pr(>F)"], 6), "\n")
    cat("residuos", signif(rstandard(fit), 6), "\n")
    recovered <- 100 * y / x
    test <- t.test(recovered, mu = 100)
    cat("recobro", signif(mean(recovered), 6), "t", signif(test$statistic, 6), "P", signif(test$p.value, 6), "\n")
}
