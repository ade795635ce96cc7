# SPDX-License-Identifier: MIT
# The reference comparisons of `benthix-cli validate`, computed with R alone.
#
#   Rscript validation/reference.R > validation/reference_cases.csv
#
# Written and run with R 4.2.2 (Debian 12, r-base-core 4.2.2.20221110-2), base R and the stats
# package only. The output is committed; the build embeds it and `validate` compares every
# case field by field with the installed program. Building or testing the program never needs R.
#
# The statistics follow the published procedure, computed here from first principles:
#   Shapiro-Wilk W on the pooled residuals with the coefficients and percentage points of
#     Shapiro & Wilk (1965), Tables 5 and 6 (data/*.csv, the same published numbers the
#     program's tables are made from);
#   Levene's test as Student's t on absolute deviations, critical value round(qt(1 - a/2, df), 3);
#   Student's t (pooled variance), the approximate t (Satterthwaite's df rounded half to even),
#     one-sample t: critical value round(qt(1 - alpha, df), 3), p-value pt(t, df);
#   Mann-Whitney U with its critical value from the exact null distribution (qwilcox/pwilcox),
#     p-value pwilcox;
#   rankits: expected normal order statistics by integrate(), rounded to 5 decimals;
#   power: z_beta = D*df / (S*F*(df + 1.21*(z_alpha - 1.06))) - z_alpha, z_alpha 1.645 or
#     1.282, percent round(100 * pnorm(round(z_beta, 2)), 2) within +/-3.25.
# The data of each case are drawn with a fixed seed until the case takes the path it is meant
# to check, with every decision far enough from its critical value that rounding in the last
# printed digit of a table cannot turn it.

options(digits = 17, scipen = 100)
args <- commandArgs(trailingOnly = FALSE)
script <- sub("^--file=", "", args[grep("^--file=", args)])
root <- normalizePath(file.path(dirname(script), ".."))

coef <- read.csv(file.path(root, "data/shapiro_wilk_coefficients.csv"), comment.char = "#")
points <- read.csv(file.path(root, "data/shapiro_wilk_percentage_points.csv"), comment.char = "#")

transform <- function(x, how) {
    switch(how,
        none = x,
        arcsine = asin(sqrt(pmin(pmax(x, 0), 100) / 100)) * 180 / 3.1415926535,
        sqrt = sqrt(x + 0.375),
        log10 = ifelse(x == 0, 0, log10(x + 1)))
}

balanced <- function(n1, n2) if (n1 > n2) 2 * n2 > n1 else 2 * n1 > n2

sw_alpha <- function(n, bal) {
    if (n <= 9) return(if (bal) 0.10 else NA)
    if (n <= 19) return(if (bal) 0.05 else 0.10)
    if (bal) 0.01 else 0.05
}

shapiro_w <- function(r) {
    r <- sort(r)
    n <- length(r)
    a <- coef[[paste0("n", n)]][seq_len(n %/% 2)]
    b <- sum(a * (rev(r)[seq_len(n %/% 2)] - r[seq_len(n %/% 2)]))
    ss <- sum((r - mean(r))^2)
    if (ss == 0) b^2 else b^2 / ss
}

critical_w <- function(n, level) {
    points[points$n == n, sprintf("p%.2f", level)]
}

levene_alpha <- function(larger, bal) {
    if (larger <= 9) return(if (bal) 0.10 else NA)
    if (bal) 0.05 else 0.10
}

pooled_se <- function(x1, x2) {
    n1 <- length(x1); n2 <- length(x2)
    v <- ((n1 - 1) * var(x1) + (n2 - 1) * var(x2)) / (n1 + n2 - 2)
    sqrt(v / n1 + v / n2)
}

signed <- function(d, alternative) if (alternative == "greater") d else -d

# |t| of Levene's test and its verdict; `margin` the distance of |t| from the critical value.
levene <- function(x1, x2, bal) {
    d1 <- abs(x1 - mean(x1)); d2 <- abs(x2 - mean(x2))
    se <- pooled_se(d1, d2)
    t <- if (se > 0) abs(mean(d1) - mean(d2)) / se else 0
    a <- levene_alpha(max(length(x1), length(x2)), bal)
    if (is.na(a)) return(list(equal = FALSE, margin = Inf))
    crit <- round(qt(1 - a / 2, length(x1) + length(x2) - 2), 3)
    list(equal = t < crit, margin = abs(t - crit))
}

welch_df <- function(x1, x2) {
    b1 <- var(x1) / length(x1); b2 <- var(x2) / length(x2)
    (b1 + b2)^2 / (b1^2 / (length(x1) - 1) + b2^2 / (length(x2) - 1))
}

round_half_even <- function(x) round(x)  # R's round() is IEC 60559: halves to even

rankit_row <- function(n) {
    e <- sapply(seq_len(n), function(i) {
        f <- function(x) x * dnorm(x) * pnorm(x)^(i - 1) * pnorm(x, lower.tail = FALSE)^(n - i)
        n * choose(n - 1, i - 1) * integrate(f, -Inf, Inf, rel.tol = 1e-12)$value
    })
    round((e - rev(e)) / 2, 5)
}

# Each value's mean rankit over the positions its value occupies in the pooled order.
rankits_of <- function(x1, x2) {
    pooled <- sort(c(x1, x2))
    row <- rankit_row(length(pooled))
    score <- function(v) mean(row[pooled == v])
    list(x1 = sapply(x1, score), x2 = sapply(x2, score))
}

z_alpha <- function(alpha) if (alpha == 0.05) 1.645 else 1.282

power_percent <- function(d, s, df, f, alpha) {
    za <- z_alpha(alpha)
    zb <- d * df / (s * f * (df + 1.21 * (za - 1.06))) - za
    if (zb > 3.25) return(list(percent = 100, z = zb))
    if (zb < -3.25) return(list(percent = 0, z = zb))
    list(percent = round(100 * pnorm(round(zb, 2)), 2), z = zb)
}

# Student's or the approximate t on y1, y2; `power` the difference D or NA.
t_test <- function(y1, y2, equal, alternative, alpha, power) {
    n1 <- length(y1); n2 <- length(y2)
    if (equal) {
        se <- pooled_se(y1, y2); df <- n1 + n2 - 2; fdf <- df
        s <- sqrt(((n1 - 1) * var(y1) + (n2 - 1) * var(y2)) / (n1 + n2 - 2))
    } else {
        se <- sqrt(var(y1) / n1 + var(y2) / n2)
        fdf <- welch_df(y1, y2); df <- round_half_even(fdf)
        s <- sqrt((var(y1) + var(y2)) / 2)
    }
    t <- signed(mean(y1) - mean(y2), alternative) / se
    crit <- round(qt(1 - alpha, df), 3)
    out <- list(test = if (equal) "student_t" else "approximate_t", statistic = t,
                critical = crit, df = df, p = pt(t, df, lower.tail = FALSE), reject = t >= crit,
                margin = abs(t - crit), power = NA, zmargin = Inf)
    if (!is.na(power)) {
        pw <- power_percent(power, s, fdf, sqrt(1 / n1 + 1 / n2), alpha)
        out$power <- pw$percent
        out$zmargin <- 0.5 - abs(pw$z * 100 - round(pw$z * 100))
    }
    out
}

# The whole decision tree; `margin` the smallest distance of a decision from its critical value.
analyse <- function(x1, x2, alternative, alpha, how, power, override) {
    y1 <- transform(x1, how); y2 <- transform(x2, how)
    n1 <- length(y1); n2 <- length(y2)
    bal <- balanced(n1, n2)
    if (n2 >= 3 && all(x2 == x2[1])) {
        se <- sd(y1) / sqrt(n1)
        t <- (mean(y1) - mean(y2)) / se
        crit <- round(qt(1 - alpha, n1 - 1), 3)
        if (alternative == "less") crit <- -crit
        out <- list(test = "one_sample_t", statistic = t, critical = crit, df = n1 - 1,
                    p = pt(t, n1 - 1, lower.tail = alternative == "less"),
                    reject = if (crit < 0) t <= crit else t >= crit,
                    margin = abs(t - crit), power = NA, zmargin = Inf)
        if (!is.na(power)) {
            pw <- power_percent(power, sd(y1), n1 - 1, sqrt(1 / n1), alpha)
            out$power <- pw$percent
            out$zmargin <- 0.5 - abs(pw$z * 100 - round(pw$z * 100))
        }
        return(out)
    }
    residuals <- c(y1 - mean(y1), y2 - mean(y2))
    level <- sw_alpha(n1 + n2, bal)
    w <- shapiro_w(residuals)
    normal <- !is.na(level) && w > critical_w(n1 + n2, level)
    wmargin <- if (is.na(level)) Inf else abs(w - critical_w(n1 + n2, level))
    if (normal || override == "yes") {
        l <- levene(y1, y2, bal)
        out <- t_test(y1, y2, l$equal, alternative, alpha, power)
        out$margin <- min(out$margin, l$margin, wmargin)
        return(out)
    }
    l <- levene(y1, y2, bal)
    if (l$equal) {
        u <- sum(outer(y1, y2, if (alternative == "less") `<` else `>`)) +
            0.5 * sum(outer(y1, y2, `==`))
        # The smallest u with P(U >= u) <= alpha; n1 * n2 + 1 when none is.
        us <- 0:(n1 * n2 + 1)
        crit <- min(us[pwilcox(us - 1, n1, n2, lower.tail = FALSE) <= alpha])
        return(list(test = "mann_whitney", statistic = u, critical = crit, df = NA,
                    p = pwilcox(ceiling(u) - 1, n1, n2, lower.tail = FALSE), reject = u >= crit,
                    margin = min(abs(u - crit) + 1, l$margin, wmargin), power = NA,
                    zmargin = Inf))
    }
    r <- rankits_of(y1, y2)
    l2 <- levene(r$x1, r$x2, bal)
    out <- t_test(r$x1, r$x2, l2$equal, alternative, alpha, NA)
    out$test <- "rankit_t"
    out$margin <- min(out$margin, l$margin, l2$margin, wmargin)
    out
}

# The data of one case: drawn for the path, with the values the transformation expects.
draw <- function(path, how, n1, n2, shift) {
    base <- switch(how, none = 20, arcsine = 50, sqrt = 30, log10 = 40)
    spread <- switch(how, none = 3, arcsine = 8, sqrt = 4, log10 = 5)
    one <- function(n, centre, s, skewed) {
        v <- if (skewed) centre + s * (rexp(n) - 1) * 2 else centre + s * rnorm(n)
        v <- round(v, 1)
        if (how == "arcsine") v <- pmin(pmax(v, 0.5), 99.5)
        pmax(v, 0.1)
    }
    x1 <- switch(path,
        student = one(n1, base + shift, spread, FALSE),
        welch = one(n1, base + shift, spread * 0.25, FALSE),
        mann_whitney = one(n1, base + shift, spread, TRUE),
        rankit = one(n1, base + shift, spread * 0.15, TRUE),
        one_sample = one(n1, base + shift, spread, FALSE))
    x2 <- switch(path,
        student = one(n2, base, spread, FALSE),
        welch = one(n2, base, spread * 4, FALSE),
        mann_whitney = one(n2, base, spread, TRUE),
        rankit = one(n2, base, spread * 4, TRUE),
        one_sample = rep(base, n2))
    list(x1 = x1, x2 = x2)
}

expected_test <- c(student = "student_t", welch = "approximate_t",
                   mann_whitney = "mann_whitney", rankit = "rankit_t",
                   one_sample = "one_sample_t")

plans <- list()
sizes <- list(c(5, 5), c(6, 6), c(8, 8), c(10, 10), c(4, 7), c(10, 6), c(7, 7), c(9, 9))
k <- 0
for (path in names(expected_test)) {
    for (how in c("none", "arcsine", "sqrt", "log10")) {
        for (variant in 1:4) {
            k <- k + 1
            alternative <- if (variant %% 2 == 1) "less" else "greater"
            alpha <- if (variant <= 2) 0.05 else 0.1
            size <- sizes[[(k %% length(sizes)) + 1]]
            power <- if (path %in% c("student", "welch", "one_sample") && variant %in% c(1, 4))
                switch(how, none = 3, arcsine = 5, sqrt = 0.5, log10 = 0.1) else NA
            plans[[k]] <- list(path = path, how = how, alternative = alternative, alpha = alpha,
                               n1 = size[1], n2 = size[2], power = power, override = "no",
                               toward = variant %in% c(1, 4))
        }
    }
}
# The normality override: a failed test taken as passed leads to a t-test.
for (how in c("none", "log10")) {
    k <- k + 1
    plans[[k]] <- list(path = "mann_whitney", how = how, alternative = "greater", alpha = 0.05,
                       n1 = 8, n2 = 8, power = NA, override = "yes", toward = TRUE)
}

fmt <- function(v) if (is.na(v)) "" else format(v, digits = 15)
cat("# The reference comparisons of benthix-cli validate, written by validation/reference.R\n")
cat(sprintf("# with %s; do not edit, run the script again.\n", R.version.string))
cat("id,path,test_values,reference_values,alternative,alpha,transformation,power_difference,",
    "override,test,statistic,critical,df,p_value,reject_null,power_percent\n", sep = "")
seed <- 1
for (i in seq_along(plans)) {
    p <- plans[[i]]
    repeat {
        seed <- seed + 1
        set.seed(seed)
        # Half the cases with the test sample moved the way the alternative expects.
        scale <- switch(p$how, none = 4, arcsine = 10, sqrt = 5, log10 = 8)
        shift <- if (p$toward) sample(c(0.5, 1, 1.5), 1) * scale *
                     (if (p$alternative == "greater") 1 else -1)
                 else sample(c(-0.3, 0, 0.3), 1) * scale
        d <- draw(p$path, p$how, p$n1, p$n2, shift)
        if (p$path != "one_sample" && (length(unique(d$x2)) < 2 || length(unique(d$x1)) < 2))
            next
        r <- analyse(d$x1, d$x2, p$alternative, p$alpha, p$how, p$power, p$override)
        wanted <- if (p$override == "yes") c("student_t", "approximate_t") else expected_test[[p$path]]
        if (p$override == "yes") {
            plain <- analyse(d$x1, d$x2, p$alternative, p$alpha, p$how, NA, "no")
            if (!(plain$test %in% c("mann_whitney", "rankit_t"))) next
        }
        if (r$test %in% wanted && r$margin > 0.01 && r$zmargin > 0.05) break
    }
    cat(sprintf("%d,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s,%s\n", i,
                if (p$override == "yes") "override" else p$path,
                paste(d$x1, collapse = " "), paste(d$x2, collapse = " "), p$alternative,
                p$alpha, p$how, fmt(p$power), p$override, r$test, fmt(r$statistic),
                fmt(r$critical), fmt(r$df), fmt(r$p), if (r$reject) "true" else "false",
                fmt(r$power)))
}
