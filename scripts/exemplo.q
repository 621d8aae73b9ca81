* Um exemplo: conta de 1 a 5 e soma os números.
seja $total 0
repete i 5
  soma $total i
  escreve "Número " i
fim repete
escreve "A soma é " $total
