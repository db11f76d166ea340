// varnholt-web in a real browser: headless Chromium signs in, opens today's page, an analyte's charts and
// the journal, signs a review off as a supervisor, and checks each page for accessibility faults.
// Environment: WEB_URL, CHROMIUM, ANALYTE, SUPERVISOR/SUPERVISOR_PASSWORD, TECHNOLOGIST/TECHNOLOGIST_PASSWORD,
// CHARTS (1 when the build has the charting library), BENCH_CHANGE (a command adding a run).
'use strict';
const puppeteer = require('puppeteer-core');
const axePath = require.resolve('axe-core/axe.min.js');

const base = process.env.WEB_URL;
const failures = [];
function check(ok, what) {
  console.log((ok ? 'ok   ' : 'FAIL ') + what);
  if (!ok) failures.push(what);
}

// Serious and critical violations of the page as axe-core finds them.
async function accessible(page, what) {
  await page.addScriptTag({ path: axePath });
  const result = await page.evaluate(() => axe.run(document, { resultTypes: ['violations'] }));
  const bad = result.violations.filter(v => v.impact === 'serious' || v.impact === 'critical');
  for (const v of bad)
    console.log(`     ${v.impact} ${v.id}: ${v.help} (${v.nodes.map(n => n.target.join(' ')).join(', ')})`);
  check(bad.length === 0, `${what}: no serious or critical accessibility violation`);
}

async function signIn(browser, code, password, { strict = false } = {}) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  // The pages forbid every script but their own; the checker is brought in past that, except on a page
  // that checks the policy itself.
  if (strict) {
    await page.evaluateOnNewDocument(() => {
      window.refusedByPolicy = [];
      document.addEventListener('securitypolicyviolation', e => refusedByPolicy.push(e.violatedDirective));
    });
  } else {
    await page.setBypassCSP(true);
  }
  await page.goto(base + '/login');
  await page.type('#code', code);
  await page.type('#password', password);
  await Promise.all([page.waitForNavigation(), page.click('button[type=submit]')]);
  if (process.env.DEBUG) console.log(page.url(), (await page.content()).slice(0, 400));
  return page;
}

const text = (page, selector) => page.$eval(selector, e => e.textContent).catch(() => '');

// The analyte's charts under the pages' own content security policy: drawn by the charting library
// with the companion's figures (every point, coloured by its state, and the limits), and without scripts
// the charts the server drew, with as many points.
async function charts(browser, link) {
  const page = await signIn(browser, process.env.SUPERVISOR, process.env.SUPERVISOR_PASSWORD, { strict: true });
  await page.goto(base + link);
  await page.waitForSelector('figure.lj .uplot canvas');
  const seen = await page.evaluate(async name => {
    const api = async what => (await fetch(`/api/analytes/${encodeURIComponent(name)}/${what}`)).json();
    const [points, limits] = [await api('points'), await api('limits')];
    return {
      figures: document.querySelectorAll('figure.lj').length,
      svgs: document.querySelectorAll('figure.lj svg').length,
      refused: window.refusedByPolicy,
      levels: limits.levels.map((l, i) => ({
        expected: points.points.filter(p => p.Levels[i].Value !== null).length,
        mean: l.Limits.Mean,
      })),
      charts: window.varnholtCharts.map(u => ({
        points: u.data[0].length,
        coloured: u.data.slice(2, 6).reduce((n, s) => n + s.filter(v => v !== null).length, 0),
        mean: u.series.findIndex(s => s.label === 'Mean'),
        data: u.data,
      })),
    };
  }, process.env.ANALYTE);
  if (process.env.SCREENSHOT) await page.screenshot({ path: process.env.SCREENSHOT, fullPage: true });
  check(seen.refused.length === 0, `nothing refused by the content security policy (${seen.refused})`);
  check(seen.charts.length === seen.figures && seen.figures === seen.levels.length,
        `one chart per level (${seen.charts.length} of ${seen.levels.length})`);
  check(seen.svgs === 0, 'the server\'s charts replaced');
  let total = 0;
  seen.charts.forEach((c, i) => {
    const level = seen.levels[i] || { expected: -1 };
    total += level.expected;
    check(c.points === level.expected && c.coloured === c.points,
          `level ${i + 1}: the companion's ${level.expected} points, each coloured (${c.points}, ${c.coloured})`);
    const mean = c.mean > 0 ? c.data[c.mean][0] : NaN;
    check(Math.abs(mean - level.mean) <= 1e-6 * Math.abs(level.mean), `level ${i + 1}: the mean ${mean}`);
  });
  // The cursor over the first chart: its legend gives the value under it, with the analyte's decimals.
  const box = await (await page.$('figure.lj .u-over')).boundingBox();
  await page.mouse.move(box.x + box.width / 2, box.y + box.height / 2);
  const shown = await page.$eval('figure.lj .u-legend .u-series:nth-child(2) .u-value', e => e.textContent);
  check(/^-?[0-9]+(\.[0-9]+)?$/.test(shown), `the cursor's value in the legend (${shown})`);
  const plain = await (await page.browserContext()).newPage();
  await plain.setJavaScriptEnabled(false);
  await plain.goto(base + link);
  const drawn = await plain.$$eval('figure.lj svg circle.point', c => c.length);
  check(drawn === total, `without scripts the server's charts, as many points (${drawn} of ${total})`);
}

(async () => {
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM,
    headless: true,
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  try {
    // A wrong password: the sign-in page again, saying why.
    const refused = await signIn(browser, process.env.SUPERVISOR, 'not the password');
    check(new URL(refused.url()).pathname === '/login', 'a wrong password stays on the sign-in page');
    check((await text(refused, '[role=alert]')).includes('Sign-in refused'), 'the refusal is shown');
    await accessible(refused, 'sign-in page');

    const boss = await signIn(browser, process.env.SUPERVISOR, process.env.SUPERVISOR_PASSWORD);
    check((await text(boss, 'h1')) === 'Today', 'signed in, today\'s page');
    const rows = await boss.$$eval('main table tbody tr', r => r.length);
    check(rows > 0, `today lists the analytes (${rows})`);
    check((await text(boss, 'main table')).includes(process.env.ANALYTE), 'today names the analyte');
    await accessible(boss, 'today');

    // The analyte, opened from its link.
    const link = await boss.$$eval('main table a', (as, name) => {
      const a = as.find(x => x.textContent === name);
      return a ? a.getAttribute('href') : '';
    }, process.env.ANALYTE);
    check(link !== '', 'the analyte has a link');
    await Promise.all([boss.waitForNavigation(), boss.click(`a[href="${link}"]`)]);
    check((await text(boss, 'h1')) === process.env.ANALYTE, 'the analyte\'s page');
    if (process.env.CHARTS === '1')
      check((await boss.$$('figure.lj .uplot')).length > 0, 'its charts are drawn by the charting library');
    else
      check((await boss.$$('figure.lj svg[role=img] circle.point')).length > 0, 'its charts, drawn by the server');
    check((await boss.$$('#sigma tbody tr')).length > 0, 'its Sigma table');
    check((await boss.$$('#summary tbody tr')).length > 0, 'its monthly summary');
    await accessible(boss, 'analyte');

    if (process.env.CHARTS === '1') await charts(browser, link);

    // The review of a period signed off.
    // Up to two days ago: today stays open for the bench's run below.
    await boss.evaluate(() => {
      document.querySelector('#from').value = '2000-01-01';
      document.querySelector('#to').value = new Date(Date.now() - 2 * 86400e3).toISOString().slice(0, 10);
    });
    await boss.type('#password', process.env.SUPERVISOR_PASSWORD);
    await Promise.all([boss.waitForNavigation(), boss.click('form[action="/review"] button[type=submit]')]);
    check((await text(boss, '[role=status]')).includes('signed as reviewed'), 'the sign-off is confirmed');
    // A bench's run reaches this page: it is shown again, without the sign-off being sent once more.
    const shownAgain = boss.waitForNavigation({ timeout: 5000 }).then(() => true, () => false);
    require('child_process').execSync(process.env.BENCH_CHANGE, { stdio: 'ignore' });
    check(await shownAgain, 'a bench\'s change shows the page again');
    await boss.waitForSelector('h1');
    check(new URL(boss.url()).pathname === '/analyte', `shown again as the analyte's page (${boss.url()})`);
    check(!(await text(boss, 'main')).includes('were reviewed and signed'), 'the sign-off was not sent twice');
    const reviewer = (await text(boss, 'main')).includes(process.env.SUPERVISOR.toUpperCase());
    check(reviewer, 'the reviews name the reviewer');
    await accessible(boss, 'analyte after the sign-off');

    await Promise.all([boss.waitForNavigation(), boss.click('nav a[href="/journal"]')]);
    check((await text(boss, 'h1')) === 'Journal', 'the journal');
    check((await text(boss, 'main table')).includes('review signed'), 'the journal holds the sign-off');
    await accessible(boss, 'journal');

    // A technologist sees no sign-off and cannot send one.
    const tech = await signIn(browser, process.env.TECHNOLOGIST, process.env.TECHNOLOGIST_PASSWORD);
    await tech.goto(base + link);
    check((await tech.$('form[action="/review"]')) === null, 'a technologist has no sign-off form');
    const status = await tech.evaluate(async () => {
      const body = new URLSearchParams({
        csrf: document.querySelector('input[name=csrf]').value,
        name: document.querySelector('h1').textContent, from: '2000-01-01', to: '2099-12-31', password: 'x',
      });
      return (await fetch('/review', { method: 'POST', body })).status;
    });
    check(status === 403, `a technologist's sign-off is refused (${status})`);
  } finally {
    await browser.close();
  }
  console.log(failures.length ? `${failures.length} failed` : 'all passed');
  process.exit(failures.length ? 1 : 0);
})().catch(e => {
  console.log('FAIL ' + (e && e.stack ? e.stack : e));
  process.exit(1);
});
