#include "archivecore/ArchiverOptions.h"

namespace pelsok {

TArchiverOptions::TArchiverOptions() = default;

void TArchiverOptions::Assign(const platform::TPersistent& source) {
  const auto* o = dynamic_cast<const TArchiverOptions*>(&source);
  if (o == nullptr) {
    platform::TPersistent::Assign(source);  // raises the assignment error
    return;
  }
  if (o == this) return;
  a = o->a;
  c = o->c;
  e = o->e;
  f = o->f;
  h = o->h;
  i = o->i;
  l = o->l;
  m = o->m;
  n = o->n;
  this->o = o->o;
  p = o->p;
  r = o->r;
  s = o->s;
  t = o->t;
  u = o->u;
  w = o->w;
  x = o->x;
  y = o->y;
  z = o->z;
  jc = o->jc;
  jd = o->jd;
  je = o->je;
  jf = o->jf;
  jh = o->jh;
  ji = o->ji;
  jm = o->jm;
  jn = o->jn;
  jo = o->jo;
  job = o->job;
  jp = o->jp;
  jr = o->jr;
  jss = o->jss;
  jw = o->jw;
  jx.Assign(o->jx);
  jyc = o->jyc;
  jyd = o->jyd;
  jyk = o->jyk;
  jyn = o->jyn;
  jyo = o->jyo;
  jz = o->jz;
  ga = o->ga;
  gd = o->gd;
  ge = o->ge;
  gf = o->gf;
  gj = o->gj;
  gm = o->gm;
  gn = o->gn;
  go = o->go;
  gp = o->gp;
  gr = o->gr;
  gs = o->gs;
  gu = o->gu;
  gw = o->gw;
  UserOptions = o->UserOptions;
  UserFileList = o->UserFileList;
  PackFilter = o->PackFilter;
  ResFileName = o->ResFileName;
  ResFileUsage = o->ResFileUsage;
}

}  // namespace pelsok
