# The accuracy profile of a study of several series, computed in R as an
# independent check of `linealidad --profile` and to measure it against:
# the seven calibration models (one point, line and quadratic, unweighted,
# 1/x and 1/x^2), each series fitted on its own calibration standards, the
# validation standards back-calculated, per level the variance components
# by series, Mee's beta-expectation tolerance interval with Satterthwaite's
# degrees of freedom, the uncertainty and the validated range.
# Usage: Rscript profile_versus_r.R DATOS.csv [BETA] [LAMBDA]
# DATOS.csv: the text --import reads (serie;tipo;nivel;x;y, a header line).
args <- commandArgs(trailingOnly = TRUE)
beta <- if (length(args) >= 2) as.numeric(args[2]) else 0.90
lambda <- if (length(args) >= 3) as.numeric(args[3]) else 15
d <- read.table(args[1], sep = ";", header = TRUE, dec = ".", stringsAsFactors = FALSE,
                fileEncoding = "UTF-8", colClasses = c("character", "character", "character", "numeric", "numeric"))
d$cal <- substr(tolower(d$tipo), 1, 3) == "cal"
series <- unique(d$serie)
cal <- d[d$cal, ]
val <- d[!d$cal, ]
amounts <- sort(unique(val$x))

fit <- function(points, model, weight) {
  w <- switch(weight, none = rep(1, nrow(points)), "1/x" = 1 / points$x, "1/x^2" = 1 / points$x^2)
  if (model == "one-point") {
    top <- points[points$x == max(points$x), ]
    return(c(0, mean(top$y) / mean(top$x), 0))
  }
  if (model == "line") return(c(coef(lm(y ~ x, data = points, weights = w)), 0))
  coef(lm(y ~ x + I(x^2), data = points, weights = w))
}

found <- function(co, y, meanx) {
  if (co[3] == 0) return((y - co[1]) / co[2])
  vertex <- -co[2] / (2 * co[3])
  side <- if (meanx >= vertex) 1 else -1
  vertex + side * sqrt(co[2]^2 - 4 * co[3] * (co[1] - y)) / (2 * abs(co[3]))
}

level <- function(x, s, mu) {
  p <- length(unique(s)); n <- length(x) / p
  means <- tapply(x, s, mean); m <- mean(x)
  ssw <- sum((x - means[s])^2); ssb <- n * sum((means - m)^2)
  msw <- ssw / (p * (n - 1)); msb <- ssb / (p - 1)
  if (msb > msw) { sw <- msw; sb <- (msb - msw) / n } else { sw <- sum((x - m)^2) / (p * n - 1); sb <- 0 }
  sip <- sw + sb
  r <- sb / sw; b2 <- (r + 1) / (n * r + 1)
  nu <- (r + 1)^2 / ((r + 1 / n)^2 / (p - 1) + (1 - 1 / n) / (p * n))
  widen <- sqrt(1 + 1 / (p * n * b2))
  k <- qt((1 + beta) / 2, nu) * widen
  rb <- 100 * (m - mu) / mu
  c(x = mu, mean = m, relativeBias = rb, cvr = 100 * sqrt(sw) / mu, cvIP = 100 * sqrt(sip) / mu,
    totalError = abs(rb) + 100 * sqrt(sip) / mu, dof = nu, ktol = k,
    relativeLower = rb - 100 * k * sqrt(sip) / mu, relativeUpper = rb + 100 * k * sqrt(sip) / mu,
    relativeU = 200 * sqrt(sip) * widen / mu)
}

range <- function(t) {
  best <- c(NA, NA); cur <- NULL
  keep <- function() {
    if (!is.null(cur) && cur[2] > cur[1] && (is.na(best[1]) || cur[2] - cur[1] > best[2] - best[1])) best <<- cur
    cur <<- NULL
  }
  for (j in seq_len(nrow(t) - 1)) {
    a <- t[j, ]; b <- t[j + 1, ]
    lo <- 0; hi <- 1
    for (side in c("relativeUpper", "relativeLower")) {
      lim <- if (side == "relativeUpper") lambda else -lambda
      ok <- function(v) if (side == "relativeUpper") v <= lim else v >= lim
      va <- a[[side]]; vb <- b[[side]]
      if (!ok(va) && !ok(vb)) { lo <- 1; hi <- 0 }
      else if (!(ok(va) && ok(vb))) {
        cross <- (lim - va) / (vb - va)
        if (ok(va)) hi <- min(hi, cross) else lo <- max(lo, cross)
      }
    }
    if (lo > hi) { keep(); next }
    piece <- a$x + c(lo, hi) * (b$x - a$x)
    if (!is.null(cur) && cur[2] == a$x && lo == 0) cur[2] <- piece[2] else { keep(); cur <- piece }
    if (hi != 1) keep()
  }
  keep()
  best
}

models <- list(c("one-point", "none"), c("line", "none"), c("line", "1/x"), c("line", "1/x^2"),
               c("quadratic", "none"), c("quadratic", "1/x"), c("quadratic", "1/x^2"))
for (m in models) {
  back <- numeric(nrow(val))
  for (s in series) {
    pts <- cal[cal$serie == s, ]
    co <- fit(pts, m[1], m[2])
    rows <- val$serie == s
    back[rows] <- found(co, val$y[rows], mean(pts$x))
  }
  t <- do.call(rbind, lapply(amounts, function(mu) {
    rows <- val$x == mu
    as.data.frame(t(level(back[rows], val$serie[rows], mu)))
  }))
  cat(sprintf("MODEL %s %s\n", m[1], m[2]))
  for (j in seq_len(nrow(t)))
    cat(sprintf("%s\n", paste(names(t), formatC(unlist(t[j, ]), digits = 12, format = "g"), collapse = " ")))
  r <- range(t)
  cat(sprintf("RANGE %s %s\n", formatC(r[1], digits = 12, format = "g"), formatC(r[2], digits = 12, format = "g")))
}
