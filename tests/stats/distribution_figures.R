# Tails and quantiles of F and t, and Grubbs' critical values, from R's pf,
# qf and qt, for distributions_test.cpp. Not run by the tests: run it by hand
# (Rscript tests/stats/distribution_figures.R > tests/stats/distribution_figures.txt)
# when the grid changes. Each line: what, df1, df2, the argument as an exact
# fraction, R's value with 17 significant digits. Arguments are exact binary
# fractions so that R reads the same number the program does.
both <- c(1:12, 15, 16, 19, 20, 29, 30, 47, 48, 59, 60)
value <- function(text) eval(parse(text = text))
out <- function(what, df1, df2, arg, v) {
  # a tail below R's smallest double is left out; a quantile may be 0 or negative
  if (is.finite(v) && (what != "ftail" || v > 1e-290)) cat(sprintf("%s %d %d %s %.16e\n", what, df1, df2, arg, v))
}
fs <- c("1/1048576", "1/1024", "1/2", "3", "33/8", "1024", "1099511627776", "1267650600228229401496703205376")
for (m in both) for (n in both) {
  for (f in fs) out("ftail", m, n, f, pf(value(f), m, n, lower.tail = FALSE))
  for (p in c("1/20", "1/40", "1/100", sprintf("1/%d", 40 * (m + n)), "1/2"))
    out("fquantile", m, n, p, qf(value(p), m, n, lower.tail = FALSE))
}
for (v in 1:60) {
  for (p in c("1/20", "1/40", "1/100", sprintf("1/%d", 40 * (v + 2)), "1/2", "19/20", "3/4"))
    out("tquantile", v, 0, p, qt(value(p), v, lower.tail = FALSE))
  N <- v + 2
  t <- qt(1 / (40 * N), N - 2, lower.tail = FALSE)
  out("grubbs", N, 0, "-", (N - 1) / sqrt(N) * sqrt(t^2 / (N - 2 + t^2)))
}
